#include "app/MainInterface.h"
#include "app/AppDelegate.h"
#include "app/Outlet.h"
#include "app/Spinner.h"
#include "clips/PlayerView.h"
#include "ui_MainWindow.h"
#include "ui_PreferencesWindow.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QPushButton>
#include <QSplitter>
#include <QTableView>
#include <QWebEngineView>

MainInterface::MainInterface()
    : window(std::make_unique<QMainWindow>())
    , preferencesWindow(std::make_unique<QDialog>())
{
    Ui::MainWindow().setupUi(window.get());
    Ui::PreferencesWindow().setupUi(static_cast<QDialog*>(preferencesWindow.get()));
    // Start with the clips and the log form side by side at about even widths.
    if (auto* splitView = window->findChild<QSplitter*>(QStringLiteral("splitView")))
        splitView->setSizes({ 600, 680 });
}

MainInterface::~MainInterface() = default;

void MainInterface::connectTo(AppDelegate& delegate) const
{
    const QObject& main = *window;
    const QObject& preferences = *preferencesWindow;

    delegate.window = window.get();
    delegate.playerView = requireOutlet<PlayerView>(main, "playerView");
    delegate.webView = requireOutlet<QWebEngineView>(main, "webView");
    delegate.webSpinner = requireOutlet<Spinner>(main, "webSpinner");
    delegate.chooseFolderButton = requireOutlet<QPushButton>(main, "chooseFolderButton");
    delegate.spinner = requireOutlet<Spinner>(main, "spinner");
    delegate.tableView = requireOutlet<QTableView>(main, "tableView");
    delegate.label = requireOutlet<QLabel>(main, "label");
    delegate.preferencesWindow = preferencesWindow.get();
    delegate.usernameField = requireOutlet<QLineEdit>(preferences, "usernameField");
    delegate.passwordField = requireOutlet<QLineEdit>(preferences, "passwordField");

    AppDelegate::applySplitViewLimits(requireOutlet<QSplitter>(main, "splitView"));
    delegate.connectClipTable();

    auto onTrigger = [&](const QObject& root, const char* actionName, void (AppDelegate::*handler)()) {
        QObject::connect(requireOutlet<QAction>(root, actionName), &QAction::triggered, &delegate, handler);
    };
    QObject::connect(delegate.chooseFolderButton, &QPushButton::clicked, &delegate, &AppDelegate::showOpenPanel);
    onTrigger(main, "actionOpen", &AppDelegate::showOpenPanel);
    onTrigger(main, "actionPreferences", &AppDelegate::showPreferences);
    onTrigger(main, "actionShowHelp", &AppDelegate::showHelp);
    onTrigger(main, "actionShowGlossary", &AppDelegate::showGlossary);
    onTrigger(main, "actionEmailSupport", &AppDelegate::emailSupport);
    QObject::connect(requireOutlet<QAction>(main, "actionQuit"), &QAction::triggered, qApp, &QApplication::quit,
                     Qt::QueuedConnection);
    QObject::connect(requireOutlet<QPushButton>(preferences, "saveButton"), &QPushButton::clicked, &delegate,
                     &AppDelegate::saveCredentialsToKeychain);
}
