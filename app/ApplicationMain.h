#pragma once

#include <functional>

class AppDelegate;
class MainInterface;
class QCoreApplication;

// Builds the application (windows, delegate, single-instance hand-over), runs its start-up in order and
// then its event loop; returns the process's exit status.
int applicationMain(int argc, char** argv);

// What must hold before the QApplication exists, and before any thread starts, for tapeScribe and for the
// tests and benchmarks that build its windows: the OpenGL set-up that the web view needs, and the heaps'
// layout.
void prepareProcess();

// What must hold once the QApplication exists, for tapeScribe and for the tests that build its windows:
// its names (settings, the desktop's window matching), the number format the player needs, its style, how
// the web view draws, and windows that keep painting while a tool is waited for.
void configureApplication();

// The user's language, where tapeScribe ships a translation for it, for its own texts and Qt's alike;
// English otherwise, and for whatever that translation lacks: English plural forms come from a catalogue
// too. The translators live as long as `application`.
void installTranslations(QCoreApplication& application);

// tapeScribe's start-up on its wired windows and delegate, in order: the interface set-up's first half,
// the main window shown, and once it has been drawn, the web view and the log form's request, the move
// offer, the account; then `launched`. Returns at once after the window is shown: the rest runs from
// the event loop.
void launch(AppDelegate& delegate, MainInterface& interface, const std::function<void()>& launched);
