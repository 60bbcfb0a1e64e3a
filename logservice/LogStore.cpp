#include "logservice/LogStore.h"

#include "logservice/Secrets.h"

#include <QAtomicInteger>
#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

namespace {

const QString databaseFileName = QStringLiteral("logservice.sqlite");
constexpr int sessionTokenBytes = 32;
constexpr qint64 sessionLifetimeDays = 30;

QString nextConnectionName()
{
    static QAtomicInteger<int> counter;
    return QStringLiteral("logstore-%1").arg(counter.fetchAndAddRelaxed(1));
}

QSqlQuery prepared(const QString& connectionName, const QString& statement)
{
    QSqlQuery query(QSqlDatabase::database(connectionName, false));
    query.prepare(statement);
    return query;
}

QVariant milliseconds(const std::optional<QDateTime>& moment)
{
    return moment ? QVariant(moment->toMSecsSinceEpoch()) : QVariant(QMetaType::fromType<qint64>());
}

QDateTime momentFrom(const QVariant& value)
{
    return QDateTime::fromMSecsSinceEpoch(value.toLongLong(), Qt::UTC);
}

// The note in the columns text, recorded_ms, written_ms of the query's row, starting at `first`.
Note noteFrom(const QSqlQuery& query, int first)
{
    const QVariant recorded = query.value(first + 1);
    return Note { query.value(first).toString(),
        recorded.isNull() ? std::nullopt : std::optional<QDateTime>(momentFrom(recorded)),
        momentFrom(query.value(first + 2)) };
}

}

LogStore::LogStore(QString connectionName)
    : m_connectionName(std::move(connectionName))
{
}

LogStore::~LogStore()
{
    QSqlDatabase::database(m_connectionName, false).close();
    QSqlDatabase::removeDatabase(m_connectionName);
}

Result<std::unique_ptr<LogStore>> LogStore::open(const QString& directory)
{
    using StoreResult = Result<std::unique_ptr<LogStore>>;
    const QString path = QDir(directory).filePath(databaseFileName);
    // Made by us first, readable by the owner only: it holds the password hashes.
    if (!QFile::exists(path)) {
        QFile file(path);
        if (!file.open(
                QIODevice::WriteOnly | QIODevice::NewOnly, QFileDevice::ReadOwner | QFileDevice::WriteOwner))
            return StoreResult::failure(QStringLiteral("cannot create %1").arg(path));
    }
    std::unique_ptr<LogStore> store(new LogStore(nextConnectionName()));
    QSqlDatabase database = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), store->m_connectionName);
    database.setDatabaseName(path);
    // add-account may write while the service runs: wait for the other's lock instead of failing.
    database.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000"));
    if (!database.open())
        return StoreResult::failure(
            QStringLiteral("cannot open %1: %2").arg(path, database.lastError().text()));
    if (!store->createSchema())
        return StoreResult::failure(QStringLiteral("cannot prepare the tables in %1").arg(path));
    return StoreResult::success(std::move(store));
}

bool LogStore::createSchema()
{
    const QStringList statements {
        QStringLiteral("PRAGMA foreign_keys = ON"),
        QStringLiteral(
            "CREATE TABLE IF NOT EXISTS accounts (id INTEGER PRIMARY KEY, name TEXT NOT NULL UNIQUE, "
            "password_hash TEXT NOT NULL)"),
        QStringLiteral("CREATE TABLE IF NOT EXISTS sessions (token_hash BLOB PRIMARY KEY, "
                       "account_id INTEGER NOT NULL REFERENCES accounts(id) ON DELETE CASCADE, "
                       "created_ms INTEGER NOT NULL)"),
        QStringLiteral("CREATE TABLE IF NOT EXISTS notes (id INTEGER PRIMARY KEY, "
                       "account_id INTEGER NOT NULL REFERENCES accounts(id) ON DELETE CASCADE, "
                       "text TEXT NOT NULL, recorded_ms INTEGER, written_ms INTEGER NOT NULL)"),
        QStringLiteral("CREATE INDEX IF NOT EXISTS notes_by_account ON notes (account_id, written_ms)"),
        // Reading the notes after a given one is then a range of this index, already in order.
        QStringLiteral("CREATE INDEX IF NOT EXISTS notes_in_order ON notes (account_id, id)"),
    };
    for (const QString& statement : statements) {
        QSqlQuery query(QSqlDatabase::database(m_connectionName, false));
        if (!query.exec(statement))
            return false;
    }
    return true;
}

bool LogStore::setPassword(const QString& name, const QByteArray& password)
{
    const auto hash = hashPassword(password);
    if (!hash)
        return false;
    QSqlDatabase database = QSqlDatabase::database(m_connectionName, false);
    if (!database.transaction())
        return false;
    QSqlQuery upsert = prepared(m_connectionName,
        QStringLiteral("INSERT INTO accounts (name, password_hash) VALUES (?, ?) "
                       "ON CONFLICT (name) DO UPDATE SET password_hash = excluded.password_hash"));
    upsert.addBindValue(name);
    upsert.addBindValue(*hash);
    QSqlQuery endSessions = prepared(m_connectionName,
        QStringLiteral("DELETE FROM sessions WHERE account_id = (SELECT id FROM accounts WHERE name = ?)"));
    endSessions.addBindValue(name);
    if (!upsert.exec() || !endSessions.exec()) {
        database.rollback();
        return false;
    }
    return database.commit();
}

std::optional<StoredPassword> LogStore::storedPassword(const QString& name)
{
    QSqlQuery query
        = prepared(m_connectionName, QStringLiteral("SELECT id, password_hash FROM accounts WHERE name = ?"));
    query.addBindValue(name);
    if (!query.exec() || !query.next())
        return std::nullopt;
    return StoredPassword { { query.value(0).toLongLong(), name }, query.value(1).toString() };
}

std::optional<QByteArray> LogStore::startSession(qint64 accountId, const QDateTime& now)
{
    const auto token = randomBytes(sessionTokenBytes);
    if (!token)
        return std::nullopt;
    QSqlQuery expire
        = prepared(m_connectionName, QStringLiteral("DELETE FROM sessions WHERE created_ms < ?"));
    expire.addBindValue(now.addDays(-sessionLifetimeDays).toMSecsSinceEpoch());
    expire.exec();
    const QByteArray text = token->toBase64(QByteArray::Base64UrlEncoding | QByteArray::OmitTrailingEquals);
    QSqlQuery insert = prepared(m_connectionName,
        QStringLiteral("INSERT INTO sessions (token_hash, account_id, created_ms) VALUES (?, ?, ?)"));
    insert.addBindValue(sha256(text));
    insert.addBindValue(accountId);
    insert.addBindValue(now.toMSecsSinceEpoch());
    if (!insert.exec())
        return std::nullopt;
    return text;
}

std::optional<Account> LogStore::sessionAccount(const QByteArray& token, const QDateTime& now)
{
    QSqlQuery query = prepared(m_connectionName,
        QStringLiteral("SELECT accounts.id, accounts.name FROM sessions JOIN accounts ON accounts.id = "
                       "sessions.account_id "
                       "WHERE sessions.token_hash = ? AND sessions.created_ms >= ?"));
    query.addBindValue(sha256(token));
    query.addBindValue(now.addDays(-sessionLifetimeDays).toMSecsSinceEpoch());
    if (!query.exec() || !query.next())
        return std::nullopt;
    return Account { query.value(0).toLongLong(), query.value(1).toString() };
}

bool LogStore::endSession(const QByteArray& token)
{
    QSqlQuery query = prepared(m_connectionName, QStringLiteral("DELETE FROM sessions WHERE token_hash = ?"));
    query.addBindValue(sha256(token));
    return query.exec();
}

bool LogStore::addNote(qint64 accountId, const Note& note)
{
    QSqlQuery query = prepared(m_connectionName,
        QStringLiteral("INSERT INTO notes (account_id, text, recorded_ms, written_ms) VALUES (?, ?, ?, ?)"));
    query.addBindValue(accountId);
    query.addBindValue(note.text);
    query.addBindValue(milliseconds(note.recordedAt));
    query.addBindValue(note.writtenAt.toMSecsSinceEpoch());
    return query.exec();
}

std::optional<QList<Note>> LogStore::notes(qint64 accountId, int limit)
{
    QSqlQuery query = prepared(m_connectionName,
        QStringLiteral("SELECT text, recorded_ms, written_ms FROM notes WHERE account_id = ? "
                       "ORDER BY written_ms DESC, id DESC LIMIT ?"));
    query.addBindValue(accountId);
    query.addBindValue(limit);
    if (!query.exec())
        return std::nullopt;
    QList<Note> notes;
    while (query.next())
        notes.append(noteFrom(query, 0));
    return notes;
}

std::optional<QList<StoredNote>> LogStore::notesAfter(qint64 accountId, qint64 afterId)
{
    QSqlQuery query = prepared(m_connectionName,
        QStringLiteral("SELECT id, text, recorded_ms, written_ms FROM notes WHERE account_id = ? AND id > ? "
                       "ORDER BY id"));
    query.addBindValue(accountId);
    query.addBindValue(afterId);
    // Rows are read once, front to back: the driver need not keep them all for moving back.
    query.setForwardOnly(true);
    if (!query.exec())
        return std::nullopt;
    QList<StoredNote> notes;
    while (query.next())
        notes.append(StoredNote { query.value(0).toLongLong(), noteFrom(query, 1) });
    return notes;
}
