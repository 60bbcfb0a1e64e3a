#pragma once

#include "logservice/CommandLine.h"

class QIODevice;

// Runs a parsed command and returns the process's exit status; messages for the person running it go to
// standard error. `input` is where add-account reads the password.
int runCommand(const Command& command, QIODevice& input);
