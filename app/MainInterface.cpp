#include "app/MainInterface.h"
#include "app/AppDelegate.h"
#include "app/WebViewGraphics.h"

#include "ui_MainWindow.h"
#include "ui_PreferencesWindow.h"

#include <QApplication>

MainInterface::MainInterface()
    : window(std::make_unique<QMainWindow>())
    , preferencesWindow(std::make_unique<QDialog>())
    , mainForm(std::make_unique<Ui::MainWindow>())
    , preferencesForm(std::make_unique<Ui::PreferencesWindow>())
{
    mainForm->setupUi(window.get());
    preferencesForm->setupUi(preferencesWindow.get());
    prepareForWebView(mainForm->webViewPane);
    // The player's keys are its own actions; the menu shows them above the decoding choice.
    mainForm->playerMenu->insertActions(mainForm->actionHardwareDecoding, mainForm->playerView->actions());
    mainForm->playerMenu->insertSeparator(mainForm->actionHardwareDecoding);
    // Start with the clips and the log form side by side, the clip table wide enough for all its columns.
    mainForm->splitView->setSizes({ 720, 560 });
}

MainInterface::~MainInterface() = default;

void MainInterface::connectTo(AppDelegate& delegate)
{
    delegate.window = window.get();
    delegate.playerView = mainForm->playerView;
    delegate.webSpinner = mainForm->webSpinner;
    delegate.webViewPane = mainForm->webViewPane;
    delegate.chooseFolderButton = mainForm->chooseFolderButton;
    delegate.spinner = mainForm->spinner;
    delegate.tableView = mainForm->tableView;
    delegate.label = mainForm->label;
    delegate.preferencesWindow = preferencesWindow.get();
    delegate.usernameField = preferencesForm->usernameField;
    delegate.passwordField = preferencesForm->passwordField;
    delegate.accountStatusLabel = preferencesForm->accountStatusLabel;
    delegate.notesLabel = mainForm->notesLabel;
    delegate.notesView = mainForm->notesView;
    delegate.exportMarkersAction = mainForm->actionExportMarkers;

    AppDelegate::applySplitViewLimits(mainForm->splitView);
    delegate.connectClipTable();

    QObject::connect(mainForm->chooseFolderButton, &QPushButton::clicked, &delegate, &AppDelegate::showOpenPanel);
    QObject::connect(mainForm->actionOpen, &QAction::triggered, &delegate, &AppDelegate::showOpenPanel);
    QObject::connect(mainForm->actionExportMarkers, &QAction::triggered, &delegate, &AppDelegate::exportMarkers);
    QObject::connect(mainForm->actionPreferences, &QAction::triggered, &delegate, &AppDelegate::showPreferences);
    QObject::connect(mainForm->actionShowHelp, &QAction::triggered, &delegate, &AppDelegate::showHelp);
    QObject::connect(mainForm->actionShowGlossary, &QAction::triggered, &delegate, &AppDelegate::showGlossary);
    QObject::connect(mainForm->actionEmailSupport, &QAction::triggered, &delegate, &AppDelegate::emailSupport);
    // The logger's last choice, before the first clip makes the player.
    const bool hardwareDecoding = AppDelegate::hardwareDecodingChosen();
    mainForm->actionHardwareDecoding->setChecked(hardwareDecoding);
    mainForm->playerView->setHardwareDecoding(hardwareDecoding);
    QObject::connect(mainForm->actionHardwareDecoding, &QAction::toggled, &delegate, &AppDelegate::setHardwareDecoding);
    QObject::connect(mainForm->actionQuit, &QAction::triggered, qApp, &QApplication::quit, Qt::QueuedConnection);
    QObject::connect(preferencesForm->saveButton, &QPushButton::clicked, &delegate,
                     &AppDelegate::saveCredentialsToKeychain);
}
