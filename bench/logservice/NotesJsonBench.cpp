#include "logservice/LogService.h"
#include "logservice/LogStore.h"
#include "logservice/PasswordChecks.h"
#include "logservice/Secrets.h"
#include "support/Statistics.h"

#include <QCoreApplication>
#include <QDir>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QVariant>

#include <cstdio>

namespace {

const QDateTime now = QDateTime::fromString(QStringLiteral("2026-12-07T16:10:05Z"), Qt::ISODate);

// Notes for the first account, written straight into the store's file in one transaction: storing them one
// request at a time would time the disk, not the answer.
bool fillNotes(const QString& directory, int count)
{
    QSqlDatabase database = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("filler"));
    database.setDatabaseName(QDir(directory).filePath(QStringLiteral("logservice.sqlite")));
    bool filled = database.open() && database.transaction();
    {
        QSqlQuery insert(database);
        filled = filled
            && insert.prepare(QStringLiteral("INSERT INTO notes (account_id, text, recorded_ms, written_ms) "
                                             "VALUES (1, ?, ?, ?)"));
        for (int i = 0; filled && i < count; ++i) {
            const qint64 written = now.addSecs(i - count).toMSecsSinceEpoch();
            insert.addBindValue(
                QStringLiteral("take %1: the boom dips into frame, \"again\" <b>&</b>").arg(i));
            insert.addBindValue(i % 10 == 0 ? QVariant(QMetaType::fromType<qint64>()) : written - 91'000);
            insert.addBindValue(written);
            filled = insert.exec();
        }
    }
    filled = filled && database.commit();
    database.close();
    database = QSqlDatabase();
    QSqlDatabase::removeDatabase(QStringLiteral("filler"));
    return filled;
}

}

// GET /index.php/logger/notes.json through the service's own routes, for stores of growing size: the time
// per note stays flat when the answer costs one query and one pass over the notes.
int main(int argc, char** argv)
{
    // As the service's main() does: the zone is read once, not for every local time.
    if (!qEnvironmentVariableIsSet("TZ"))
        qputenv("TZ", ":/etc/localtime");
    QCoreApplication application(argc, argv);
    std::printf("notes    answer ms (median of 5)    us per note    body MiB\n");
    for (const int count : { 1'000, 10'000, 100'000 }) {
        QTemporaryDir directory;
        auto store = LogStore::open(directory.path());
        if (!store || !(*store)->setPassword(QStringLiteral("bench"), "bench pw")
            || !fillNotes(directory.path(), count))
            return 1;
        const auto token = (*store)->startSession(1, now);
        if (!token)
            return 1;
        PasswordChecks passwordChecks(passwordMatches, [] { return now.toMSecsSinceEpoch(); });
        const LogService service(**store, passwordChecks, [] { return now; });
        const HttpRequest request { "GET", "/index.php/logger/notes.json",
            { { "Cookie", "__Host-tapescribe_session=" + *token } }, {}, {} };
        QObject client;
        HttpResponse answer;
        const auto ask = [&] {
            service.respond(
                request, HttpReply(&client, [&](const HttpResponse& response) { answer = response; }));
        };
        ask();
        if (answer.status != 200)
            return 1;
        const double ms = Bench::median(Bench::timeRuns(5, ask));
        std::printf("%7d    %22.1f    %11.2f    %8.1f\n", count, ms, 1000.0 * ms / count,
            answer.body.size() / (1024.0 * 1024.0));
    }
    return 0;
}
