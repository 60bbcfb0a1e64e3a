#include "logform/NotesFetch.h"
#include "logform/ScriptLiteral.h"

#include <QUrlQuery>
#include <QVariantMap>

namespace NotesFetch {

QUrl address(const QUrl& formURL, qint64 sinceId)
{
    QUrl notes = formURL.resolved(QUrl(QStringLiteral("notes.json")));
    notes.setFragment({});
    QUrlQuery query;
    if (sinceId > 0)
        query.addQueryItem(QStringLiteral("since"), QString::number(sinceId));
    notes.setQuery(query);
    return notes;
}

QString pollScript(const QUrl& notesAddress, std::chrono::milliseconds interval)
{
    // The state lives on the script world's window, which the page's own scripts cannot see. A page that
    // is loaded anew starts with a fresh window, and so with no request under way.
    return QStringLiteral(
        "(function (address, interval) {\n"
        "    const state = window.tapescribeNotes || (window.tapescribeNotes = { busy: false, began: 0 });\n"
        "    const answer = state.answer || null;\n"
        "    state.answer = null;\n"
        "    if (!state.busy && Date.now() - state.began >= interval\n"
        "        && new URL(address).origin === window.location.origin) {\n"
        "        state.busy = true;\n"
        "        state.began = Date.now();\n"
        "        fetch(address, { credentials: 'same-origin', cache: 'no-store', redirect: 'manual' })\n"
        "            .then(response => response.text().then(body => {\n"
        "                state.answer = { status: response.status, body: body };\n"
        "            }))\n"
        "            .catch(() => { state.answer = { status: 0, body: '' }; })\n"
        "            .finally(() => { state.busy = false; });\n"
        "    }\n"
        "    return answer;\n"
        "})(%1, %2);")
        .arg(scriptLiteral(notesAddress.toString(QUrl::FullyEncoded)), QString::number(interval.count()));
}

std::optional<Answer> answer(const QVariant& scriptResult)
{
    const QVariantMap map = scriptResult.toMap();
    if (!map.contains(QStringLiteral("status")))
        return std::nullopt;
    bool isNumber = false;
    const int status = map.value(QStringLiteral("status")).toInt(&isNumber);
    if (!isNumber)
        return std::nullopt;
    return Answer { status, map.value(QStringLiteral("body")).toString().toUtf8() };
}

Outcome outcome(int status)
{
    switch (status) {
    case 200:
        return Outcome::Notes;
    // A redirect that is not followed reads as status 0 in the page ("opaqueredirect"); the service sends
    // a visitor who is not signed in to the sign-in page that way, so only an explicit 401 or 403 counts.
    case 401:
    case 403:
        return Outcome::SignedOut;
    case 404:
    case 410:
        return Outcome::NoRoute;
    default:
        return Outcome::Failed;
    }
}

}
