#pragma once

// Ends the process when the keyring has not answered in time. A Secret Service that accepts the
// connection and then never answers would otherwise block the tool, and the application waiting on it,
// for good. The limit covers every keyring call of the run, whatever GLib does inside them.
namespace Deadline {

// From now on, the process ends after `seconds` with a message on standard error and the status
// `exitStatus`, unless cancel() comes first.
void start(unsigned seconds, int exitStatus);
void cancel();

}
