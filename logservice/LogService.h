#pragma once

#include "logservice/HttpMessage.h"
#include "logservice/LogStore.h"
#include "logservice/Router.h"

class PasswordChecks;

#include <QDateTime>

#include <functional>

// The log service's pages over HTTPS: sign-in, the log form, storing notes, the CSV download, the notes as
// JSON for the program, sign-out.
class LogService
{
public:
    using Clock = std::function<QDateTime()>;

    LogService(LogStore& store, PasswordChecks& passwordChecks, Clock clock);
    // The routes hold `this`.
    LogService(const LogService&) = delete;
    LogService& operator=(const LogService&) = delete;

    // Answers through `reply`: at once, except for a sign-in, which is answered once its password has been
    // checked.
    void respond(const HttpRequest& request, const HttpReply& reply) const;
    // Whether the request signs in: its connection counts among those that wait for a sign-in.
    static bool isSignIn(const HttpRequest& request);

    static constexpr qsizetype maximumNoteLength = 4000;

private:
    void signIn(const HttpRequest& request, const HttpReply& reply) const;
    HttpResponse signedIn(const Account& account, const QString& identity) const;
    HttpResponse logForm(const HttpRequest& request) const;
    HttpResponse storeNote(const HttpRequest& request) const;
    HttpResponse notesDownload(const HttpRequest& request) const;
    HttpResponse notesFeed(const HttpRequest& request) const;
    HttpResponse signOut(const HttpRequest& request) const;
    std::optional<Account> signedInAccount(const HttpRequest& request) const;
    // The notes the log form shows, and whether there are older ones; nothing when they cannot be read.
    std::optional<QPair<QList<Note>, bool>> shownNotes(qint64 accountId) const;

    LogStore& m_store;
    PasswordChecks& m_passwordChecks;
    Clock m_clock;
    QList<Route> m_routes;
};
