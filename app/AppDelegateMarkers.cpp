#include "app/AppDelegate.h"
#include "clips/MarkerClips.h"
#include "app/MarkerExportPanel.h"
#include "notes/MarkerWriters.h"
#include "notes/NoteMatching.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QMainWindow>
#include <QMessageBox>
#include <QSaveFile>
#include <QSettings>

// File ▸ Export Markers…: the logger's notes as markers on the open folder's clips, in a file that an
// editing application imports.

namespace {

const QString markerFormatKey = QStringLiteral("markers/format");
// The dialog lists this many of the notes that fell outside every clip; the export's CSV has them all.
constexpr std::size_t unplacedNotesListed = 20;

MarkerFormat lastMarkerFormat()
{
    return markerFormatFromName(QSettings().value(markerFormatKey).toString()).value_or(MarkerFormat::Fcpxml);
}

QString describeUnplaced(const LogNote& note)
{
    const QString when = note.recordedAt ? note.recordedAt->toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))
                                         : AppDelegate::tr("no clip was loaded");
    return QStringLiteral("%1 — %2").arg(when, QString(note.text).replace(QLatin1Char('\n'), QLatin1Char(' ')));
}

}

void AppDelegate::exportMarkers()
{
    if (assets.isEmpty())
        return;
    const QString title = QFileInfo(clipFolder).fileName();
    const MarkerFormat proposedFormat = lastMarkerFormat();
    const QString proposedPath
        = QDir(clipFolder).filePath(title + QLatin1Char('.') + markerFormatExtension(proposedFormat));
    std::optional<MarkerExportChoice> choice;
    if (runExportPanel) {
        choice = runExportPanel(proposedPath, proposedFormat);
    } else if (const auto chosen = chooseMarkerExport(window, proposedPath, proposedFormat)) {
        choice = MarkerExportChoice { chosen->first, chosen->second };
    }
    if (!choice)
        return;
    QSettings().setValue(markerFormatKey, markerFormatName(choice->format));

    // Every clip's rate and duration are needed: the clips whose headers are still waiting are read now.
    QApplication::setOverrideCursor(Qt::WaitCursor);
    std::vector<MarkerClip> clips;
    clips.reserve(std::size_t(assets.size()));
    for (int index = 0; index < assets.size(); ++index) {
        if (clipModel.isMetadataPending(index))
            clipMetadataDidArrive(index, metadataReader.readNow(assets.at(index).path));
        clips.push_back(markerClip(assets.at(index), clipModel.metadata(index)));
    }
    const MarkerPlan plan = matchNotes(loggedNotes, clips);
    const QByteArray document = writeMarkers(choice->format, plan, title);
    QSaveFile file(choice->path);
    const bool written = file.open(QIODevice::WriteOnly) && file.write(document) == document.size() && file.commit();
    QApplication::restoreOverrideCursor();

    if (!written) {
        label->setText(tr("The markers were not written: %1.").arg(file.errorString()));
        QMessageBox alert(QMessageBox::Warning, tr("The markers were not written"),
            tr("“%1” cannot be written: %2.").arg(choice->path, file.errorString()), QMessageBox::Ok, window);
        alert.setTextFormat(Qt::PlainText);
        runAlert ? runAlert(alert) : void(alert.exec());
        return;
    }
    const qsizetype markerCount = plan.markerCount();
    const qsizetype clipCount = std::count_if(plan.clips.begin(), plan.clips.end(),
        [](const ClipMarkers& clip) { return !clip.markers.empty(); });
    // One sentence per count, so that each language's plural forms fit each number.
    QString status = tr("Wrote %n marker(s) to “%1”.", nullptr, int(markerCount)).arg(choice->path);
    status += QLatin1Char(' ') + tr("%n clip(s) carry them.", nullptr, int(clipCount));
    if (!plan.unplaced.empty())
        status += QLatin1Char(' ') + tr("%n note(s) fell outside every clip.", nullptr, int(plan.unplaced.size()));
    label->setText(status);
    if (!plan.unplaced.empty())
        reportUnplacedNotes(plan.unplaced);
}

void AppDelegate::reportUnplacedNotes(const std::vector<LogNote>& unplaced)
{
    QStringList lines;
    for (std::size_t i = 0; i < std::min(unplaced.size(), unplacedNotesListed); ++i)
        lines.append(describeUnplaced(unplaced[i]));
    if (unplaced.size() > unplacedNotesListed)
        lines.append(tr("… and %n more.", nullptr, int(unplaced.size() - unplacedNotesListed)));
    QMessageBox alert(QMessageBox::Information, tr("Notes outside every clip"),
        tr("These notes were written at moments that no clip of the folder recorded. They are not markers, "
           "and the CSV export lists them."),
        QMessageBox::Ok, window);
    alert.setTextFormat(Qt::PlainText);
    alert.setDetailedText(lines.join(QLatin1Char('\n')));
    alert.setInformativeText(lines.mid(0, 5).join(QLatin1Char('\n')));
    runAlert ? runAlert(alert) : void(alert.exec());
}
