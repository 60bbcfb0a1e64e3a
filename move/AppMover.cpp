#include "move/AppMover.h"

#include "core/Console.h"
#include "move/MoveStrings.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>

namespace {
// The checkbox is small print beside the question; the named face is used where the system has it.
const QString smallCheckboxFamily = QStringLiteral("HelveticaNeue");
constexpr int smallCheckboxPointSize = 10;
}

AppMover::AppMover(FileManager& fileManager)
    : fileManager(fileManager)
{
}

AppMover& AppMover::shared()
{
    static AppMover mover;
    return mover;
}

void AppMover::runAlertModally(QMessageBox& alert)
{
    alert.show();
    if (QGuiApplication::applicationState() != Qt::ApplicationActive) {
        alert.raise();
        alert.activateWindow();
    }
    alert.exec();
}

void AppMover::moveToApplicationsFolderIfNecessary()
{
    if (offerMove() == LaunchOutcome::EndProcess)
        MovePlatform::endProcess(0);
}

AppMover::LaunchOutcome AppMover::offerMove()
{
    const MoveStrings strings = MoveStrings::localized();
    QSettings settings;
    if (settings.value(AlertSuppressKey, false).toBool())
        return LaunchOutcome::GoOnLaunching;

    const std::optional<QString> bundlePath = mainBundlePath();
    if (!bundlePath || isInsideApplicationsFolder(*bundlePath))
        return LaunchOutcome::GoOnLaunching;
    const InstallFolder install = installFolder();
    if (!install.folder)
        return LaunchOutcome::GoOnLaunching;
    const QString destinationPath = *install.folder + QLatin1Char('/') + QFileInfo(*bundlePath).fileName();

    const bool folderWritable = fileManager.isWritableFileAtPath(*install.folder);
    const bool destinationExists = fileManager.fileExistsAtPath(destinationPath);
    const bool destinationWritable = fileManager.isWritableFileAtPath(destinationPath);
    const bool needsAdministratorRights = !folderWritable || (destinationExists && !destinationWritable);

    QMessageBox offer;
    offer.setTextFormat(Qt::PlainText);
    offer.setText(install.inHomeFolder ? strings.questionTitleHome : strings.questionTitle);
    QString informativeText = strings.questionMessage;
    if (needsAdministratorRights)
        informativeText += QLatin1Char(' ') + strings.infoNeedsPassword;
    else if (isInsideDownloadsFolder(*bundlePath))
        informativeText += QLatin1Char(' ') + strings.infoInDownloads;
    offer.setInformativeText(informativeText);
    QPushButton* moveButton = offer.addButton(strings.buttonMove, QMessageBox::AcceptRole);
    QPushButton* stayButton = offer.addButton(strings.buttonStay, QMessageBox::RejectRole);
    offer.setDefaultButton(moveButton);
    offer.setEscapeButton(stayButton);
    auto* suppress = new QCheckBox(strings.suppressCheckbox);
    if (UseSmallAlertSuppressCheckbox) {
        QFont font = suppress->font();
        font.setFamilies({ smallCheckboxFamily, font.family() });
        font.setPointSize(smallCheckboxPointSize);
        suppress->setFont(font);
    }
    offer.setCheckBox(suppress);

    runModal(offer);
    if (offer.clickedButton() != moveButton) {
        if (suppress->isChecked())
            settings.setValue(AlertSuppressKey, true);
        return LaunchOutcome::GoOnLaunching;
    }
    return moveBundle(*bundlePath, destinationPath, needsAdministratorRights, strings);
}

AppMover::LaunchOutcome AppMover::moveBundle(const QString& bundlePath, const QString& destinationPath,
    bool needsAdministratorRights, const MoveStrings& strings)
{
    consoleLine(QStringLiteral("INFO -- Moving myself to the Applications folder"));
    if (needsAdministratorRights) {
        // The administrator command replaces whatever lies at the destination itself.
        if (!installWithAdministratorRights(bundlePath, destinationPath)) {
            consoleLine(QStringLiteral("ERROR -- Could not copy myself to /Applications with authorization"));
            return LaunchOutcome::GoOnLaunching;
        }
    } else {
        if (fileManager.fileExistsAtPath(destinationPath)) {
            if (isBundleRunning(destinationPath))
                return switchToRunningCopy(destinationPath, strings);
            if (!moveToTrash(destinationPath)) {
                showAlert(strings.couldNotMove);
                return LaunchOutcome::GoOnLaunching;
            }
        }
        if (!copyBundleFiles(bundlePath, destinationPath)) {
            consoleLine(QStringLiteral("Could not copy myself to ") + destinationPath);
            return LaunchOutcome::GoOnLaunching;
        }
    }

    // The relaunch is set up before this copy goes, so that a relaunch that cannot start leaves a copy to
    // go on running.
    consoleLine(QStringLiteral("relaunch"));
    if (!scheduleRelaunch(destinationPath)) {
        showAlert(strings.couldNotRelaunch, destinationPath);
        return LaunchOutcome::GoOnLaunching;
    }
    if (!removeOrTrash(bundlePath))
        consoleLine(
            QStringLiteral("WARNING -- Could not delete application after moving it to Applications folder"));
    return LaunchOutcome::EndProcess;
}

AppMover::LaunchOutcome AppMover::switchToRunningCopy(
    const QString& destinationPath, const MoveStrings& strings)
{
    consoleLine(QStringLiteral("INFO -- Switching to an already running version"));
    // This process stops being the one instance first: the copy started now hands over to the instance that
    // runs, or becomes it, and never hands over to this process, which is about to end.
    leaveSingleInstance();
    if (openBundle(destinationPath))
        return LaunchOutcome::EndProcess;
    consoleLine(QStringLiteral("ERROR -- Could not start ") + MovePlatform::bundleExecutable(destinationPath));
    showAlert(strings.couldNotRelaunch, destinationPath);
    return LaunchOutcome::GoOnLaunching;
}

void AppMover::showAlert(const QString& text, const QString& informativeText)
{
    QMessageBox alert;
    alert.setIcon(QMessageBox::Warning);
    alert.setTextFormat(Qt::PlainText);
    alert.setText(text);
    alert.setInformativeText(informativeText);
    runModal(alert);
}

void AppMover::showErrorAlert(const FileError& error)
{
    // The description names paths, which are plain text whatever they hold.
    QMessageBox alert;
    alert.setTextFormat(Qt::PlainText);
    alert.setIcon(QMessageBox::Critical);
    alert.setText(error.localizedDescription);
    runModal(alert);
}
