#include "app/AppDelegate.h"
#include "clips/MarkerClips.h"
#include "clips/MpvPlayer.h"
#include "clips/PlayerView.h"
#include "notes/NotesReading.h"

#include <QAction>
#include <QHeaderView>
#include <QLabel>
#include <QTableView>
#include <QTimer>

// The logger's notes beside the player: read through the log form's own session, shown as ticks on the
// position bar and as a list under it.

namespace {

// The page is asked for the service's answer four times a second and asks the service once a second, so
// that a note stored in the form reaches its clip within about a second.
constexpr std::chrono::milliseconds notesPollInterval { 250 };
constexpr std::chrono::milliseconds notesRequestInterval { 1000 };

double secondsAtFrame(qint64 frame, const FrameRate& rate)
{
    return double(frame) * double(rate.denominator) / double(rate.numerator);
}

}

void AppDelegate::startReadingNotes()
{
    notesView->setModel(&loadedClipNotes);
    const QFontMetrics metrics = notesView->fontMetrics();
    notesView->horizontalHeader()->resizeSection(
        MarkerListModel::SourceTimecode, metrics.horizontalAdvance(QStringLiteral("≈ 00:00:00:00")) + 24);
    notesView->horizontalHeader()->resizeSection(
        MarkerListModel::TimeOfDay, metrics.horizontalAdvance(QStringLiteral("00:00:00")) + 24);
    connect(notesView->selectionModel(), &QItemSelectionModel::selectionChanged, this,
        &AppDelegate::notesViewSelectionDidChange);
    // Return or a double click on the chosen note goes to its frame again, after the clip has played on.
    connect(notesView, &QAbstractItemView::activated, this, &AppDelegate::notesViewSelectionDidChange);

    notesTimer = std::make_unique<QTimer>();
    notesTimer->setInterval(notesPollInterval);
    connect(notesTimer.get(), &QTimer::timeout, this, &AppDelegate::notesTimerDidFire);
    notesTimer->start();
    showLoadedClipNotes();
}

void AppDelegate::notesTimerDidFire()
{
    if (!logForm)
        return;
    const qint64 since = loggedNotes.empty() ? 0 : loggedNotes.back().id;
    const QPointer<AppDelegate> self(this);
    logForm->runScript(NotesFetch::pollScript(NotesFetch::address(formURL, since), notesRequestInterval),
        [self](const QVariant& result) {
            if (self)
                self->notesDidArrive(result);
        });
}

void AppDelegate::notesDidArrive(const QVariant& scriptResult)
{
    const auto answer = NotesFetch::answer(scriptResult);
    if (!answer)
        return;
    const NotesFetch::Outcome outcome = NotesFetch::outcome(answer->status);
    switch (outcome) {
    case NotesFetch::Outcome::Notes: {
        const auto reading = readNotesJson(answer->body);
        if (!reading)
            break;
        // Answers may overlap (one asked before the last came in): a note is taken once, by its id.
        const qsizetype before = qsizetype(loggedNotes.size());
        for (const LogNote& note : reading->notes)
            if (loggedNotes.empty() || note.id > loggedNotes.back().id)
                loggedNotes.push_back(note);
        const bool changed = qsizetype(loggedNotes.size()) != before || notesOutcome != outcome;
        notesOutcome = outcome;
        if (changed)
            showLoadedClipNotes();
        break;
    }
    case NotesFetch::Outcome::SignedOut:
    case NotesFetch::Outcome::NoRoute:
        if (notesOutcome != outcome) {
            forgetNotes();
            notesOutcome = outcome;
            showLoadedClipNotes();
        }
        // A service without the route is not asked again until a page of it loads anew.
        if (outcome == NotesFetch::Outcome::NoRoute)
            notesTimer->stop();
        break;
    case NotesFetch::Outcome::Failed:
        // A passing fault keeps the notes already shown; the next request may get through.
        if (!notesOutcome) {
            notesOutcome = outcome;
            showLoadedClipNotes();
        }
        break;
    }
}

void AppDelegate::forgetNotes()
{
    loggedNotes.clear();
}

std::optional<ClipMarkers> AppDelegate::loadedClipMarkers() const
{
    if (loadedAssetIndex < 0 || loadedAssetIndex >= assets.size())
        return std::nullopt;
    const int index = int(loadedAssetIndex);
    MarkerPlan plan = matchNotes(loggedNotes,
        { markerClip(assets.at(index), clipModel.metadata(index)) });
    return std::move(plan.clips.front());
}

void AppDelegate::showLoadedClipNotes()
{
    const std::optional<ClipMarkers> loaded = loadedClipMarkers();
    const std::vector<Marker> markers = loaded ? loaded->markers : std::vector<Marker>();
    loadedClipNotes.setMarkers(markers);
    QList<double> seconds;
    if (loaded && loaded->clip.rate)
        for (const Marker& marker : markers)
            seconds.append(secondsAtFrame(marker.frame, *loaded->clip.rate));
    playerView->setNoteMarks(seconds);
    if (exportMarkersAction)
        exportMarkersAction->setEnabled(!assets.isEmpty() && notesOutcome != NotesFetch::Outcome::NoRoute);

    QString text;
    if (notesOutcome == NotesFetch::Outcome::NoRoute)
        text = tr("This log service does not give its notes to tapeScribe, so they are not shown here and "
                  "cannot be exported. Everything else works as before.");
    else if (notesOutcome == NotesFetch::Outcome::SignedOut)
        text = tr("Sign in on the log form to see its notes here.");
    else if (!notesOutcome || (notesOutcome == NotesFetch::Outcome::Failed && loggedNotes.empty()))
        text = tr("The log form's notes are not there yet.");
    else if (!loaded)
        text = tr("Choose a clip to see its notes.");
    else if (!loaded->canCarryMarkers())
        text = tr("This clip's frame rate or duration is unknown, so its notes cannot be placed on its frames.");
    else if (markers.empty())
        text = tr("No notes on this clip yet.");
    else if (loaded->clip.recordingStartIsApproximate)
        text = tr("%n note(s) on this clip, placed by its file's date: the clip carries no recording date of "
                  "its own.", nullptr, int(markers.size()));
    else
        text = tr("%n note(s) on this clip", nullptr, int(markers.size()));
    notesLabel->setText(text);
}

void AppDelegate::notesViewSelectionDidChange()
{
    const QModelIndexList chosen = notesView->selectionModel()->selectedRows();
    MpvPlayer* player = playerView->player();
    const std::optional<ClipMarkers> loaded = loadedClipMarkers();
    if (chosen.isEmpty() || !player || !loaded || !loaded->clip.rate)
        return;
    const std::vector<Marker>& markers = loadedClipNotes.markers();
    const auto row = std::size_t(chosen.first().row());
    if (row < markers.size())
        player->seek(secondsAtFrame(markers[row].frame, *loaded->clip.rate));
}
