#pragma once

#include <QByteArray>
#include <QString>
#include <QUrl>
#include <QVariant>

#include <chrono>
#include <optional>

// Reading the signed-in logger's notes through the log form's own page: the page's session is the only
// credential used, so the program never needs a second copy of the password. A script run in the page
// starts a request for the notes and keeps its answer; the next run of the script hands that answer over.
// The web engine answers a script run at once and cannot wait for a request, hence the two steps.
namespace NotesFetch {

// The notes route beside the log form ("…/logger/form" → "…/logger/notes.json"), asking only for the
// notes after `sinceId` (0: all of them).
QUrl address(const QUrl& formURL, qint64 sinceId);

// A script that gives the answer that came in since its last run (or null), then starts a request for
// `notesAddress` unless one is under way or the last began less than `interval` ago. It asks nothing
// while the page is on another origin than the notes.
QString pollScript(const QUrl& notesAddress, std::chrono::milliseconds interval);

struct Answer
{
    int status = 0; // the HTTP status; 0 when the request did not reach the service
    QByteArray body;
};

// The answer a run of the poll script handed over; nothing when it had none yet.
std::optional<Answer> answer(const QVariant& scriptResult);

enum class Outcome {
    Notes, // the body holds the notes
    SignedOut, // the form's session has ended: no notes to show
    NoRoute, // the service has no notes for programs
    Failed, // anything else: the notes already shown stay
};
Outcome outcome(int status);

}
