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
#include "clips/Timecode.h"
#include "clips/TypeIdentifiers.h"

#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QMainWindow>
#include <QMessageBox>
#include <QSettings>
#include <QTableView>
#include <QTimer>
#include <QtConcurrent/QtConcurrentRun>

#include <utility>

// The clip library's handlers: choosing a folder, listing its clips, loading the selected one.

namespace {

const QString logStartTimeAttribute = QStringLiteral("com.FernwrightSystem.logStartTime");
const QString hardwareDecodingKey = QStringLiteral("player/hardwareDecoding");
constexpr std::chrono::milliseconds secondsTimerInterval { 1000 };

// What the player can open is asked of the player itself, once a process.
QStringList acceptedTypeList()
{
    const auto& capabilities = MediaCapabilities::ofThisProcess();
    const QStringList types
        = TypeIdentifiers::playableTypes(capabilities ? capabilities->demuxers : QStringList());
    consoleLine(ClipScan::describeTypes(types));
    return types;
}

}

void AppDelegate::connectClipTable()
{
    clipSortModel.setSourceModel(&clipModel);
    tableView->setModel(&clipSortModel);
    tableView->setSortingEnabled(true);
    tableView->sortByColumn(ClipModel::Name, Qt::AscendingOrder);
    // Room for a camera's clip names and the other columns' usual texts; the format takes the rest.
    QHeaderView* header = tableView->horizontalHeader();
    const QFontMetrics metrics = tableView->fontMetrics();
    const auto widthOf = [&metrics](const QString& text) { return metrics.horizontalAdvance(text) + 24; };
    header->resizeSection(ClipModel::Name, widthOf(QStringLiteral("A001C001_PRORES.MOV")) + 20);
    header->resizeSection(ClipModel::Start, widthOf(QStringLiteral("0000-00-00 00:00:00")));
    header->resizeSection(ClipModel::Duration, widthOf(QStringLiteral("00:00:00:00")));
    header->resizeSection(ClipModel::StartTimecode, widthOf(QStringLiteral("00:00:00:00")));
    connect(tableView->selectionModel(), &QItemSelectionModel::selectionChanged, this,
        &AppDelegate::tableViewSelectionDidChange);
    connect(&metadataReader, &MetadataReader::metadataRead, this, &AppDelegate::clipMetadataDidArrive);
    new ClipTableKeys(tableView);
}

void AppDelegate::checkProfessionalFormats()
{
    // What the player's libraries can do does not change while the process runs.
    if (std::exchange(formatCheckStarted, true))
        return;
    // Asking loads libmpv with FFmpeg and starts a player core, 120-160 ms here, for which the window
    // would stop.
    connect(&professionalFormatCheck, &QFutureWatcherBase::finished, this, &AppDelegate::warnOfMissingFormats,
        Qt::UniqueConnection);
    professionalFormatCheck.setFuture(QtConcurrent::run([] { MediaCapabilities::ofThisProcess(); }));
}

void AppDelegate::warnOfMissingFormats()
{
    const auto warning = professionalFormatsWarning(MediaCapabilities::ofThisProcess());
    if (!warning)
        return;
    consoleLine(*professionalFormatsWarning(MediaCapabilities::ofThisProcess(), englishWords));
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
    // Unloads the clip in the player, while `assets` still holds the old list; no answer about the old
    // list's clips may reach the new one.
    tableView->clearSelection();
    metadataReader.cancel();
    assets.clear();
    clipFolder = QFileInfo(path).isDir() ? path : QFileInfo(path).absolutePath();
    ConsoleBatch console;
    const ClipScan::Outcome outcome
        = ClipScan::scan(path, acceptedTypes, [&console](const QString& line) { console.line(line); });
    console.flush();
    assets = outcome.clips;
    if (outcome.listingFailure)
        label->setText(tr("Cannot list the folder “%1”: %2.").arg(path, *outcome.listingFailure));
    else
        // One clip has a sentence of its own, so English reads right without a catalogue; the count of
        // several takes each language's plural forms.
        label->setText(assets.size() == 1 ? tr("1 clip from “%1”").arg(path)
                                          : tr("%n clips from “%1”", nullptr, int(assets.size())).arg(path));
    finishScan();
    readClipMetadata();
}

void AppDelegate::readClipMetadata()
{
    QList<MetadataReader::Request> requests;
    requests.reserve(assets.size());
    for (int viewRow = 0; viewRow < clipSortModel.rowCount(); ++viewRow) {
        const int index = clipSortModel.sourceRow(viewRow);
        if (clipModel.isMetadataPending(index))
            requests.append({ index, assets.at(index).path });
    }
    metadataReader.readAll(requests);
}

void AppDelegate::clipMetadataDidArrive(int index, const ClipMetadata::Reading& reading)
{
    if (index < 0 || index >= assets.size() || !clipModel.isMetadataPending(index))
        return;
    if (reading.metadata)
        assets[index].takeRecordingDate(*reading.metadata, QDateTime::currentDateTimeUtc());
    clipModel.setMetadata(index, reading, assets.at(index).start);
    // The loaded clip's rate and recording start place its notes.
    if (index == loadedAssetIndex)
        showLoadedClipNotes();
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
    showLoadedClipNotes();
    spinner->stopAnimation();
}

void AppDelegate::tableViewSelectionDidChange()
{
    consoleLine(QStringLiteral("tableViewSelectionDidChange"));
    // The table's rows are in the order the logger sorted them; the selection names a clip of `assets`.
    const QModelIndexList selectedRows = tableView->selectionModel()->selectedRows();
    const qint64 selected
        = selectedRows.isEmpty() ? -1 : clipSortModel.mapToSource(selectedRows.first()).row();
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
        showLoadedClipNotes();
        return;
    }

    loadedAssetIndex = selected;
    clipModel.markLoaded(int(selected));
    playerView->setFocus(Qt::OtherFocusReason);
    // A clip chosen before its metadata has come in has it read now, alone: the cookie and the attribute
    // must not carry a date that is about to change.
    if (clipModel.isMetadataPending(int(selected)))
        clipMetadataDidArrive(int(selected), metadataReader.readNow(assets.at(selected).path));
    const Clip& clip = assets.at(selected);
    mediaCreatedTime = clip.created();
    assetPath = clip.path;
    const std::optional<ClipMetadata>& metadata = clipModel.metadata(int(selected));
    const std::optional<Timecode> startTimecode
        = metadata ? Timecode::parse(metadata->timecode, metadata->frameRate) : std::nullopt;
    auto player = playerView->makePlayer(assetPath);
    playerEndObserver
        = connect(player.get(), &MpvPlayer::reachedEnd, this, &AppDelegate::playerItemDidReachEnd);
    playerView->setPlayer(std::move(player), clip.start.moment, startTimecode);
    showLoadedClipNotes();

    setTimeOffsetCookie();
    secondsTimer = std::make_unique<QTimer>();
    secondsTimer->setTimerType(Qt::PreciseTimer);
    secondsTimer->setInterval(secondsTimerInterval);
    connect(secondsTimer.get(), &QTimer::timeout, this, &AppDelegate::timerDidFire);
    secondsTimer->start();

    // The stamp's outcome is not examined: a read-only clip loads all the same. A stamp that outlived its
    // deadline waits on a file system that no longer answers (a hung network mount): reading it back
    // would freeze the window as long again.
    const CommandResult stamp = runCommand(Platform::xattrTool(),
        { QStringLiteral("-w"), logStartTimeAttribute, mediaCreatedTime, assetPath },
        Platform::xattrToolDeadline);
    if (stamp.timedOut) {
        consoleLine(stamp.error);
        return;
    }
    const CommandResult stored = runCommand(Platform::xattrTool(),
        { QStringLiteral("-p"), logStartTimeAttribute, assetPath }, Platform::xattrToolDeadline);
    consoleLine(stored.timedOut ? stored.error : stored.output);
}

bool AppDelegate::hardwareDecodingChosen()
{
    return QSettings().value(hardwareDecodingKey, true).toBool();
}

void AppDelegate::setHardwareDecoding(bool enabled)
{
    QSettings().setValue(hardwareDecodingKey, enabled);
    if (playerView)
        playerView->setHardwareDecoding(enabled);
}

void AppDelegate::playerItemDidReachEnd()
{
    consoleLine(QStringLiteral("playerItemDidReachEnd"));
    tableView->setEnabled(true);
    tableView->clearSelection();
}
