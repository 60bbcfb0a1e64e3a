#include <QAction>
#include <QApplication>
#include <QUrl>
#include <QWebEngineView>

// The floor for the launch benchmark's "log form served": a web view on Qt's default profile and graphics,
// loading the address it is given, as a program that does nothing else would. The benchmark finds it on
// the display by its title and gives it the Chromium flags it gives tapeScribe.
int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() != 2)
        return 2;
    QWebEngineView view;
    view.setWindowTitle(QStringLiteral("Bare web view"));
    view.resize(1280, 800);
    QAction quit;
    quit.setShortcut(QKeySequence::Quit);
    QObject::connect(&quit, &QAction::triggered, &application, &QApplication::quit);
    view.addAction(&quit);
    view.load(QUrl(arguments.at(1)));
    view.show();
    return QApplication::exec();
}
