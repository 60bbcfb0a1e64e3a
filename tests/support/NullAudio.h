#pragma once

// Every mpv core the test programs with windows make plays its sound nowhere (ao=null). Left to choose, mpv
// probes the machine's outputs one after another, and on a machine without a sound server it gets as far
// as SDL's, whose audio start-up leaves allocations behind that the checking build reports as leaks.
namespace NullAudio {

// Puts a start-up of its own in place of libmpv's: the player's own set-up passes through it, options and
// all, and nothing in the player knows of tests.
void install();

}
