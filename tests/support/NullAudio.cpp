#include <mpv/client.h>

// Every mpv core the test programs with windows make plays its sound nowhere (ao=null). Left to choose, mpv
// probes the machine's outputs one after another, and on a machine without a sound server it gets as far
// as SDL's, whose audio start-up leaves allocations behind that the checking build reports as leaks. The
// programs link with the linker's --wrap for mpv_initialize, so the player's own set-up passes through
// here, options and all, and nothing in the player knows of tests.
extern "C" {

int __real_mpv_initialize(mpv_handle* mpv);

int __wrap_mpv_initialize(mpv_handle* mpv)
{
    mpv_set_option_string(mpv, "ao", "null");
    return __real_mpv_initialize(mpv);
}
}
