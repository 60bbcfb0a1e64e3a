#include "app/SingleInstance.h"
#include "app/HandOverMessage.h"
#include "core/Platform.h"

#include <QDir>
#include <QFileInfo>
#include <QLocalSocket>
#include <QThread>

namespace {
constexpr int handOverTimeoutMs = 2000;
// A starting instance holds the lock a moment before it listens; the hand-over retries for that long.
constexpr int connectAttempts = 20;
}

SingleInstance::SingleInstance(const QString& socketPath, QObject* parent)
    : QObject(parent)
    , socketPath(socketPath)
    , lock(socketPath + QStringLiteral(".lock"))
{
    // The lock never expires while its owner runs; one left by an instance that died is taken over at once.
    lock.setStaleLockTime(0);
    connect(&server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* connection = server.nextPendingConnection()) {
            connect(connection, &QLocalSocket::disconnected, connection, &QObject::deleteLater);
            connect(connection, &QLocalSocket::readyRead, this, [this, connection] { readRequest(connection); });
        }
    });
}

SingleInstance::~SingleInstance() = default;

QString SingleInstance::defaultSocketPath()
{
    return Platform::runtimeFolder() + QStringLiteral("/tapescribe.socket");
}

SingleInstance::Outcome SingleInstance::claimOrHandOver(const QStringList& paths)
{
    QDir().mkpath(QFileInfo(socketPath).absolutePath());
    if (lock.tryLock(0)) {
        QLocalServer::removeServer(socketPath); // left behind by an instance that crashed
        server.setSocketOptions(QLocalServer::UserAccessOption);
        server.listen(socketPath);
        return Outcome::Claimed;
    }
    return handOver(paths) ? Outcome::HandedOver : Outcome::Unreachable;
}

void SingleInstance::release()
{
    server.close();
    lock.unlock();
}

bool SingleInstance::handOver(const QStringList& paths) const
{
    QStringList absolutePaths;
    for (const QString& path : paths)
        absolutePaths.append(QFileInfo(path).absoluteFilePath());
    const QByteArray request = HandOverMessage::encoded(absolutePaths);

    for (int attempt = 0; attempt < connectAttempts; ++attempt) {
        QLocalSocket socket;
        socket.connectToServer(socketPath);
        if (socket.waitForConnected(handOverTimeoutMs)) {
            socket.write(request);
            if (!socket.waitForBytesWritten(handOverTimeoutMs))
                return false;
            // Wait for the running instance to read the request and close its side.
            socket.waitForDisconnected(handOverTimeoutMs);
            return true;
        }
        QThread::msleep(100);
    }
    return false;
}

void SingleInstance::readRequest(QLocalSocket* connection)
{
    if (!connection->canReadLine()) {
        if (connection->bytesAvailable() > HandOverMessage::maximumSize)
            connection->abort();
        return;
    }
    const auto paths = HandOverMessage::paths(connection->readLine(HandOverMessage::maximumSize + 1));
    connection->disconnectFromServer();
    // Even a message that cannot be read asks this instance to come forward.
    emit activationRequested(paths.value_or(QStringList()));
}
