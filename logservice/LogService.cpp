#include "logservice/LogService.h"

#include "logservice/FormBody.h"
#include "logservice/NotesCsv.h"
#include "logservice/NotesJson.h"
#include "logservice/NotesQuery.h"
#include "logservice/Pages.h"
#include "logservice/PasswordChecks.h"
#include "logservice/RecordingTime.h"
#include "logservice/RequestCookies.h"
#include "logservice/RequestSite.h"

#include <variant>

namespace {

// "__Host-": the browser keeps the cookie to this very host, over HTTPS, for the whole site.
const QByteArray sessionCookieName = QByteArrayLiteral("__Host-tapescribe_session");
const QByteArray signInPath = QByteArrayLiteral("/users/login");
const QByteArray formPath = QByteArrayLiteral("/index.php/logger/form");
const QByteArray signOutPath = QByteArrayLiteral("/index.php/users/logout");

QByteArray sessionCookie(const QByteArray& value, bool expired)
{
    return sessionCookieName + '=' + value + "; Path=/; Secure; HttpOnly; SameSite=Lax"
        + (expired ? QByteArrayLiteral("; Max-Age=0") : QByteArray());
}

std::optional<QByteArray> requestCookie(const HttpRequest& request, const QByteArray& name)
{
    return cookieValue(request.headerValues("Cookie"), name);
}

// The form fields of a posted form; otherwise the answer that says what is wrong with it.
std::variant<FormFields, HttpResponse> postedForm(const HttpRequest& request)
{
    if (!isFormContentType(request.headerValues("Content-Type").value(0)))
        return HttpResponse::plainText(
            415, QStringLiteral("Send the form as application/x-www-form-urlencoded."));
    auto fields = parseFormBody(request.body);
    if (!fields)
        return HttpResponse::plainText(400, QStringLiteral("The form is malformed."));
    return *fields;
}

qsizetype characterCount(const QString& text)
{
    return text.toUcs4().size();
}

// 429 when this client has sign-ins enough waiting, 503 when the service has.
HttpResponse signInsBusy(const PasswordChecks::Busy& busy)
{
    const bool client = busy.reason == SignInQueue::Refusal::ClientFull;
    HttpResponse response = HttpResponse::plainText(client ? 429 : 503,
        client ? QStringLiteral("Too many sign-ins from here at once. Try again in a moment.")
               : QStringLiteral("Too many sign-ins at once. Try again in a moment."));
    response.headers.append({ "Retry-After", QByteArray::number(busy.retryAfter.count()) });
    return response;
}

HttpResponse json(int status, const QByteArray& body)
{
    return { status,
        { { "Content-Type", "application/json; charset=utf-8" }, { "Cache-Control", "no-store" },
            { "X-Content-Type-Options", "nosniff" } },
        body };
}

// A route that changes something takes requests from the service's own pages only (and from clients that
// are no browser): a page elsewhere must not store notes, or sign a logger in or out, in the logger's
// browser.
Route ownSiteOnly(Route route)
{
    route.respond = [respond = std::move(route.respond)](const HttpRequest& request, const HttpReply& reply) {
        if (requestSite(request) == RequestSite::Foreign)
            return reply.send(HttpResponse::plainText(
                403, QStringLiteral("Refused: the request comes from another site.")));
        respond(request, reply);
    };
    return route;
}

}

LogService::LogService(LogStore& store, PasswordChecks& passwordChecks, Clock clock)
    : m_store(store)
    , m_passwordChecks(passwordChecks)
    , m_clock(std::move(clock))
{
    m_routes = {
        Route::answering(
            "GET", signInPath, [](const HttpRequest&) { return HttpResponse::html(signInPage({}, {})); }),
        ownSiteOnly({ "POST", signInPath,
            [this](const HttpRequest& request, const HttpReply& reply) { signIn(request, reply); } }),
        Route::answering("GET", formPath, [this](const HttpRequest& request) { return logForm(request); }),
        ownSiteOnly(Route::answering("POST", "/index.php/logger/notes",
            [this](const HttpRequest& request) { return storeNote(request); })),
        Route::answering("GET", "/index.php/logger/notes.csv",
            [this](const HttpRequest& request) { return notesDownload(request); }),
        Route::answering("GET", "/index.php/logger/notes.json",
            [this](const HttpRequest& request) { return notesFeed(request); }),
        // A link anywhere can start a GET: only the program's own load and the log form's link sign out
        // at once; any other gets the question and signs out by the form it posts.
        Route::answering("GET", signOutPath,
            [this](const HttpRequest& request) {
                return requestSite(request) == RequestSite::Own ? signOut(request)
                                                                : HttpResponse::html(signOutPage());
            }),
        ownSiteOnly(Route::answering(
            "POST", signOutPath, [this](const HttpRequest& request) { return signOut(request); })),
    };
}

void LogService::respond(const HttpRequest& request, const HttpReply& reply) const
{
    route(m_routes, request, reply);
}

std::optional<Account> LogService::signedInAccount(const HttpRequest& request) const
{
    const auto token = requestCookie(request, sessionCookieName);
    if (!token || token->isEmpty())
        return std::nullopt;
    return m_store.sessionAccount(*token, m_clock());
}

std::optional<QPair<QList<Note>, bool>> LogService::shownNotes(qint64 accountId) const
{
    // One more than shown tells whether older notes exist without counting them all.
    const auto notes = m_store.notes(accountId, notesShownOnForm + 1);
    if (!notes)
        return std::nullopt;
    return qMakePair(notes->mid(0, notesShownOnForm), notes->size() > notesShownOnForm);
}

void LogService::signIn(const HttpRequest& request, const HttpReply& reply) const
{
    const auto form = postedForm(request);
    if (const auto* problem = std::get_if<HttpResponse>(&form))
        return reply.send(*problem);
    const auto& fields = std::get<FormFields>(form);
    const auto identity = formField(fields, QStringLiteral("identity"));
    const auto password = formField(fields, QStringLiteral("password"));
    if (!identity || !password)
        return reply.send(
            HttpResponse::plainText(400, QStringLiteral("The form lacks the user name or the password.")));

    const auto stored = m_store.storedPassword(*identity);
    const auto busy = m_passwordChecks.check(*identity, request.client, password->toUtf8(),
        stored ? std::optional<QString>(stored->hash) : std::nullopt, reply.client(),
        [this, stored, identity = *identity, reply](bool matches) {
            if (!stored || !matches)
                return reply.send(HttpResponse::html(
                    signInPage(QStringLiteral("The user name or the password is not right."), identity)));
            reply.send(signedIn(stored->account, identity));
        });
    if (busy)
        reply.send(signInsBusy(*busy));
}

bool LogService::isSignIn(const HttpRequest& request)
{
    return request.method == "POST" && request.path == signInPath;
}

HttpResponse LogService::signedIn(const Account& account, const QString& identity) const
{
    const auto token = m_store.startSession(account.id, m_clock());
    if (!token)
        return HttpResponse::html(
            signInPage(QStringLiteral("Signing in failed on the server. Try again."), identity), 500);
    HttpResponse response = HttpResponse::redirect(formPath);
    response.headers.append({ "Set-Cookie", sessionCookie(*token, false) });
    return response;
}

HttpResponse LogService::logForm(const HttpRequest& request) const
{
    const auto account = signedInAccount(request);
    if (!account)
        return HttpResponse::redirect(signInPath);
    const auto notes = shownNotes(account->id);
    if (!notes)
        return HttpResponse::plainText(500, QStringLiteral("The notes cannot be read."));
    return HttpResponse::html(logFormPage(account->name, notes->first, notes->second));
}

// Answers the page's script: the new notes section on success; otherwise a status and a short text that the
// page shows while it keeps what the logger typed.
HttpResponse LogService::storeNote(const HttpRequest& request) const
{
    const auto account = signedInAccount(request);
    if (!account)
        return HttpResponse::plainText(
            401, QStringLiteral("You are signed out. Sign in again; your note is kept here."));
    const auto form = postedForm(request);
    if (const auto* problem = std::get_if<HttpResponse>(&form))
        return *problem;
    const auto text = formField(std::get<FormFields>(form), QStringLiteral("text"));
    if (!text || text->trimmed().isEmpty())
        return HttpResponse::plainText(400, QStringLiteral("The note is empty."));
    const QString note = text->trimmed();
    if (characterCount(note) > maximumNoteLength)
        return HttpResponse::plainText(
            400, QStringLiteral("A note holds at most %1 characters.").arg(maximumNoteLength));

    const QDateTime now = m_clock();
    // The recording time comes from this very request's cookie, the one the page's clock showed.
    if (!m_store.addNote(
            account->id, { note, recordingTime(now, requestCookie(request, "time_offset")), now }))
        return HttpResponse::plainText(500, QStringLiteral("The note could not be stored. Try again."));
    const auto notes = shownNotes(account->id);
    if (!notes)
        return HttpResponse::plainText(
            500, QStringLiteral("The note was stored, but the notes cannot be read."));
    return HttpResponse::html(notesSection(notes->first, notes->second));
}

HttpResponse LogService::notesDownload(const HttpRequest& request) const
{
    const auto account = signedInAccount(request);
    if (!account)
        return HttpResponse::redirect(signInPath);
    const auto notes = m_store.notes(account->id);
    if (!notes)
        return HttpResponse::plainText(500, QStringLiteral("The notes cannot be read."));
    return { 200,
        { { "Content-Type", "text/csv; charset=utf-8" },
            { "Content-Disposition", "attachment; filename=\"tapescribe-notes.csv\"" },
            { "Cache-Control", "no-store" }, { "X-Content-Type-Options", "nosniff" } },
        notesCsv(*notes) };
}

// The program's reading of the notes: JSON, never a page; a reader signed out learns it from the status.
HttpResponse LogService::notesFeed(const HttpRequest& request) const
{
    const auto account = signedInAccount(request);
    if (!account)
        return json(401, jsonError(QStringLiteral("signed out")));
    const auto since = notesSince(request.query);
    if (!since)
        return json(400, jsonError(QStringLiteral("since must be a whole number of at least 0")));
    const auto notes = m_store.notesAfter(account->id, *since);
    if (!notes)
        return json(500, jsonError(QStringLiteral("the notes cannot be read")));
    return json(200, notesJson(*notes));
}

HttpResponse LogService::signOut(const HttpRequest& request) const
{
    const auto token = requestCookie(request, sessionCookieName);
    if (token && !token->isEmpty() && !m_store.endSession(*token))
        return HttpResponse::plainText(500, QStringLiteral("Signing out failed on the server. Try again."));
    HttpResponse response = HttpResponse::redirect(signInPath);
    response.headers.append({ "Set-Cookie", sessionCookie({}, true) });
    return response;
}
