#pragma once

#include "app/AppDelegate.h"
#include "app/MainInterface.h"

// tapeScribe's delegate and windows, wired as its start wires them: outlets, actions and the split view
// connected to the delegate. What a test declares before it outlives the delegate, so a list that the
// delegate's objects report into belongs above it.
struct TestApplication
{
    AppDelegate delegate;
    MainInterface interface;

    TestApplication();
    // The same for a log service on another host than the build's.
    explicit TestApplication(const QString& logServiceHost);

    // The interface set-up, both halves at once: the spinner, the web view, its profile and its first
    // request. The window is not shown: a test that shows it does so itself.
    void awake();
    // Puts the main window on screen and makes it the active one; whether it was drawn and is active.
    bool show();
    QMainWindow* window() const { return interface.mainWindow(); }
};
