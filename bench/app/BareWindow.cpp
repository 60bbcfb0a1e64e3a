#include <QAction>
#include <QApplication>
#include <QMainWindow>

// The floor for the launch benchmark's "window shown": a Qt main window and nothing in it, found on the
// display by its title as tapeScribe's window is.
int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Bare Qt window"));
    window.resize(1280, 800);
    // The benchmark ends every program it launches with Ctrl+Q.
    QAction quit;
    quit.setShortcut(QKeySequence::Quit);
    QObject::connect(&quit, &QAction::triggered, &application, &QApplication::quit);
    window.addAction(&quit);
    window.show();
    return QApplication::exec();
}
