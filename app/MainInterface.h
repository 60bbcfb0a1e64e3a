#pragma once

#include <QDialog>
#include <QMainWindow>

#include <memory>

class AppDelegate;
namespace Ui {
class MainWindow;
class PreferencesWindow;
}

// The application's windows and menus, built from the Designer forms, and their wiring to AppDelegate:
// the outlets, the actions, and the split view's limits. The forms' generated objects are kept, so every
// outlet is a member the compiler checks.
class MainInterface {
public:
    MainInterface();
    ~MainInterface();

    QMainWindow* mainWindow() const { return window.get(); }
    QDialog* preferences() const { return preferencesWindow.get(); }

    // Connects every outlet and action to `delegate`.
    void connectTo(AppDelegate& delegate);

private:
    std::unique_ptr<QMainWindow> window;
    std::unique_ptr<QDialog> preferencesWindow;
    std::unique_ptr<Ui::MainWindow> mainForm;
    std::unique_ptr<Ui::PreferencesWindow> preferencesForm;
};
