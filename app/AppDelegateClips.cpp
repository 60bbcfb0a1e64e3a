#include "app/AppDelegate.h"
#include "core/Console.h"
#include "core/Platform.h"
#include "core/Spinner.h"
#include "clips/ClipOpenDialog.h"
#include "clips/ClipScan.h"
#include "clips/ClipTableKeys.h"
#include "clips/MediaCapabilities.h"
#include "clips/MpvPlayer.h"
#include "clips/PlayerView.h"
#include "clips/TypeIdentifiers.h"

#include <QDir>
#include <QLabel>
#include <QMainWindow>
#include <QMessageBox>
#include <QTableView>
#include <QTimer>

// The clip library's handlers: choosing a folder, listing its clips, loading the selected one.

namespace {

const QString logStartTimeAttribute = QStringLiteral("com.FernwrightSystem.logStartTime");
constexpr std::chrono::milliseconds secondsTimerInterval { 1000 };

// Built afresh each time: what the player can open is asked of the player itself.
QStringList acceptedTypeList()
{
    const auto capabilities = MediaCapabilities::query();
    const QStringList types
        = TypeIdentifiers::playableTypes(capabilities ? capabilities->demuxers : QStringList());
    consoleLine(ClipScan::describeTypes(types));
    return types;
}

}

void AppDelegate::connectClipTable()
{
    tableView->setModel(&clipModel);
    connect(tableView->selectionModel(), &QItemSelectionModel::selectionChanged, this,
        &AppDelegate::tableViewSelectionDidChange);
    new ClipTableKeys(tableView);
}

void AppDelegate::checkProfessionalFormats()
{
    const auto warning = professionalFormatsWarning(MediaCapabilities::query());
    if (!warning)
        return;
    consoleLine(*warning);
    if (showFormatWarning) {
        showFormatWarning(*warning);
        return;
    }
    QMessageBox alert(QMessageBox::Warning, QStringLiteral("tapeScribe"), *warning, QMessageBox::Ok, window);
    alert.setTextFormat(Qt::PlainText);
    alert.exec();
}

void AppDelegate::openPaths(const QStringList& paths)
{
    if (paths.isEmpty())
        return;
    // As if the path had been chosen in the open panel: absolute, without a trailing separator.
    const QStringList types = acceptedTypeList();
    scanChosenPath(QDir::cleanPath(QDir::current().absoluteFilePath(paths.first())), types);
}

void AppDelegate::showOpenPanel()
{
    const QStringList types = acceptedTypeList();
    const auto chosen = runOpenPanel ? runOpenPanel(types) : ClipOpenDialog::choose(window, types);
    if (!chosen)
        return;
    scanChosenPath(*chosen, types);
}

void AppDelegate::scanChosenPath(const QString& path, const QStringList& acceptedTypes)
{
    // Unloads the clip in the player, while `assets` still holds the old list.
    tableView->clearSelection();
    assets.clear();
    const ClipScan::Outcome outcome = ClipScan::scan(path, acceptedTypes, consoleLine);
    assets = outcome.clips;
    if (outcome.listingFailure)
        label->setText(tr("Cannot list the folder “%1”: %2.").arg(path, *outcome.listingFailure));
    else
        label->setText(assets.size() == 1 ? tr("1 clip from “%1”").arg(path)
                                          : tr("%1 clips from “%2”").arg(assets.size()).arg(path));
    finishScan();
}

void AppDelegate::finishScan()
{
    loadedAssetIndex = -1;
    tableView->setEnabled(true);
    clipModel.setClips(assets);
    // The keyboard picks the clip from here: ↓ or Return selects the first one.
    tableView->setFocus(Qt::OtherFocusReason);
    if (assets.size() == 1)
        tableView->selectRow(0);
    spinner->stopAnimation();
}

void AppDelegate::tableViewSelectionDidChange()
{
    consoleLine(QStringLiteral("tableViewSelectionDidChange"));
    const QModelIndexList selectedRows = tableView->selectionModel()->selectedRows();
    const qint64 selected = selectedRows.isEmpty() ? -1 : selectedRows.first().row();
    // The clip already in the player stays fully loaded: its timer keeps the cookie current.
    if (selected >= 0 && selected == loadedAssetIndex)
        return;

    clipModel.clearMarks();
    if (loadedAssetIndex >= 0) {
        consoleLine(QStringLiteral("***** remove observers"));
        disconnect(playerEndObserver);
        secondsTimer->stop();
    }
    consoleLine(QStringLiteral("tableViewSelectionDidChange, selected = %1, loadedAssetIndex = %2")
                    .arg(selected)
                    .arg(loadedAssetIndex));

    if (selected < 0) {
        mediaCreatedTime = QStringLiteral("stopped");
        loadedAssetIndex = -1;
        playerView->setPlayer(nullptr);
        return;
    }

    loadedAssetIndex = selected;
    clipModel.markLoaded(int(selected));
    playerView->setFocus(Qt::OtherFocusReason);
    const Clip& clip = assets.at(selected);
    mediaCreatedTime = clip.created;
    assetPath = clip.path;
    auto player = playerView->makePlayer(assetPath);
    playerEndObserver
        = connect(player.get(), &MpvPlayer::reachedEnd, this, &AppDelegate::playerItemDidReachEnd);
    playerView->setPlayer(
        std::move(player), dateFormatter.dateFromString(mediaCreatedTime).value_or(QDateTime()));

    setTimeOffsetCookie();
    secondsTimer = std::make_unique<QTimer>();
    secondsTimer->setTimerType(Qt::PreciseTimer);
    secondsTimer->setInterval(secondsTimerInterval);
    connect(secondsTimer.get(), &QTimer::timeout, this, &AppDelegate::timerDidFire);
    secondsTimer->start();

    // The stamp's outcome is not examined: a read-only clip loads all the same.
    runCommand(
        Platform::xattrTool(), { QStringLiteral("-w"), logStartTimeAttribute, mediaCreatedTime, assetPath });
    consoleLine(
        runCommand(Platform::xattrTool(), { QStringLiteral("-p"), logStartTimeAttribute, assetPath }).output);
}

void AppDelegate::playerItemDidReachEnd()
{
    consoleLine(QStringLiteral("playerItemDidReachEnd"));
    tableView->setEnabled(true);
    tableView->clearSelection();
}
