#pragma once

#include "core/Platform.h"
#include "move/MovePlatform.h"
#include "move/FileManager.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

class QMessageBox;
struct MoveStrings;

// Offers, at launch, to move the running tapeScribe bundle into an Applications folder, and carries the
// move out: copy (with administrator rights where the user's own are not enough), delete the running
// copy, start the moved one once this process has ended.
class AppMover
{
public:
    explicit AppMover(FileManager& fileManager = FileManager::defaultManager());
    AppMover(const AppMover&) = delete;
    AppMover& operator=(const AppMover&) = delete;

    // The process's one mover, made on first use.
    static AppMover& shared();

    bool UseSmallAlertSuppressCheckbox = true;
    QString AlertSuppressKey = QStringLiteral("moveToApplicationsFolderAlertSuppress");
    FileManager& fileManager;

    // What the mover needs beyond the file system: the running bundle, the user's answer to an alert,
    // administrator rights, and a process that outlives this one. Each defaults to the platform's; tests
    // stand in for the user, for the policy agent and for the relaunch through them.
    std::function<std::optional<QString>()> mainBundlePath = MovePlatform::bundlePath;
    std::function<void(QMessageBox&)> runModal = runAlertModally;
    std::function<MovePlatform::AdministratorRun(const QString& commandLine)> administratorShell
        = MovePlatform::runAsAdministrator;
    std::function<bool(const QString& commandLine)> startDetachedShell = MovePlatform::startDetachedShell;
    std::function<bool(const QString& bundle)> openBundle = MovePlatform::openBundle;
    // Makes this process stop being tapeScribe's one running instance (the application sets it), so that a
    // copy it starts does not hand over to it.
    std::function<void()> leaveSingleInstance = [] {};

    // Runs the offer and the move; ends the process with status 0 once a moved copy is due to start or
    // a running copy has been brought forward, and otherwise returns so that the launch goes on.
    void moveToApplicationsFolderIfNecessary();

    enum class LaunchOutcome { GoOnLaunching, EndProcess };
    // The offer and the move, up to the point where the process would end.
    LaunchOutcome offerMove();

    struct InstallFolder
    {
        std::optional<QString> folder;
        bool inHomeFolder = false;
    };
    // ~/Applications when it already holds an application bundle, otherwise the machine-wide folder.
    InstallFolder installFolder() const;
    bool isInsideSearchPathFolder(const QString& path, Platform::StandardFolder kind,
        const std::optional<QString>& componentName) const;
    bool isInsideApplicationsFolder(const QString& path) const;
    bool isInsideDownloadsFolder(const QString& path) const;
    // Whether the executable of a running process lies inside the bundle (a plain text-prefix test).
    bool isBundleRunning(const QString& bundlePath) const;

    // Each of these reports its own failures, in log lines and, where the user must know, an alert.
    bool moveToTrash(const QString& path);
    bool removeOrTrash(const QString& path);
    bool installWithAdministratorRights(const QString& source, const QString& destination);
    bool copyBundleFiles(const QString& source, const QString& destination);

    // Starts the detached shell that starts the moved bundle once this process has ended; false, logged,
    // when it could not be started.
    bool scheduleRelaunch(const QString& destinationPath);
    // Runs a tool with administrator rights; its standard output, or none (logged) when it failed.
    std::optional<QString> runAsAdministrator(const QString& toolPath, const QStringList& arguments);

    // Shows an alert and waits for the user's answer, in front of every other application.
    static void runAlertModally(QMessageBox& alert);

private:
    LaunchOutcome moveBundle(const QString& bundlePath, const QString& destinationPath,
        bool needsAdministratorRights, const MoveStrings& strings);
    // Brings forward the copy that already runs at the destination, by starting it again.
    LaunchOutcome switchToRunningCopy(const QString& destinationPath, const MoveStrings& strings);
    void showErrorAlert(const FileError& error);
    void showAlert(const QString& text, const QString& informativeText = QString());
};
