#pragma once

// Builds the application (windows, delegate, single-instance hand-over), runs its start-up in order and
// then its event loop; returns the process's exit status.
int applicationMain(int argc, char** argv);
