#pragma once

#include <QProcessEnvironment>

#include <thread>

// Sets fontconfig up (its configuration files and its font caches) on a thread of its own while the
// application connects to the display, so that the first text the main window lays out finds it ready
// instead of reading some hundred files first. In the launch benchmark the window showed 3-15 ms sooner.
//
// fontconfig reads the environment as it sets up, unguarded. Making the application writes to the
// environment only to take away a desktop's start-up notice (DESKTOP_STARTUP_ID under X11,
// XDG_ACTIVATION_TOKEN under Wayland); with one of them present, the set-up is left to the window.
class FontSetUp
{
public:
    // Whether the set-up may run beside the making of the application in a process started with
    // `environment`.
    static bool mayRunBesideStart(const QProcessEnvironment& environment);

    // Starts the set-up, where it may run beside the start; otherwise does nothing.
    FontSetUp();
    // Waits for the set-up to end, if it was started; the window must not be made before.
    void finish();

private:
    std::jthread thread;
};
