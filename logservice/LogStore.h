#pragma once

#include "logservice/Note.h"
#include "logservice/Result.h"
#include "logservice/StoredNote.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <memory>
#include <optional>

struct Account
{
    qint64 id = 0;
    QString name;
};

struct StoredPassword
{
    Account account;
    // "pbkdf2-sha256$…", as Secrets.h describes.
    QString hash;
};

// Accounts, sign-in sessions and notes, in one SQLite file in the service's data folder. Sessions are kept
// by the SHA-256 of their token, so the file alone does not let anyone sign in.
class LogStore
{
public:
    static Result<std::unique_ptr<LogStore>> open(const QString& directory);
    ~LogStore();
    LogStore(const LogStore&) = delete;
    LogStore& operator=(const LogStore&) = delete;

    // Creates the account or replaces its password; a replaced password ends the account's sessions.
    bool setPassword(const QString& name, const QByteArray& password);
    // The account's stored password hash, for a check away from this thread (the store's connection belongs
    // to the thread that opened it); nothing for an unknown name.
    std::optional<StoredPassword> storedPassword(const QString& name);

    // A new random session token for the account; nothing when none could be made or stored.
    std::optional<QByteArray> startSession(qint64 accountId, const QDateTime& now);
    std::optional<Account> sessionAccount(const QByteArray& token, const QDateTime& now);
    bool endSession(const QByteArray& token);

    bool addNote(qint64 accountId, const Note& note);
    // The account's notes, newest first; at most `limit` of them when it is not negative. Nothing when the
    // file cannot be read, which is not the same as having no notes.
    std::optional<QList<Note>> notes(qint64 accountId, int limit = -1);
    // The account's notes stored after the one with id `afterId`, in the order they were stored, in one
    // query. Nothing when the file cannot be read.
    std::optional<QList<StoredNote>> notesAfter(qint64 accountId, qint64 afterId);

private:
    explicit LogStore(QString connectionName);
    bool createSchema();

    QString m_connectionName;
};
