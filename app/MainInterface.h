#pragma once

#include <memory>

class AppDelegate;
class QMainWindow;
class QWidget;

// The application's windows and menus, built from the Designer forms, and their wiring to AppDelegate:
// the outlets, the actions, and the split view's limits.
class MainInterface {
public:
    MainInterface();
    ~MainInterface();

    QMainWindow* mainWindow() const { return window.get(); }
    QWidget* preferences() const { return preferencesWindow.get(); }

    // Connects every outlet and action to `delegate`. An outlet the forms do not provide is a programming
    // error: the application stops with a message naming it.
    void connectTo(AppDelegate& delegate) const;

private:
    std::unique_ptr<QMainWindow> window;
    std::unique_ptr<QWidget> preferencesWindow;
};
