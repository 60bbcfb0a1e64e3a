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

    // The interface set-up: the web view's profile and its first request.
    void awake();
    // Puts the main window on screen; whether it was drawn.
    bool show();
    QMainWindow* window() const { return interface.mainWindow(); }
};
