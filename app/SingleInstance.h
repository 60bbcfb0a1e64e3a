#pragma once

#include <QLocalServer>
#include <QLockFile>
#include <QObject>
#include <QStringList>

#include <memory>

// Keeps tapeScribe to one running instance per user session. The first instance holds a lock file and
// listens on a local socket; a later start hands its paths to it and ends.
class SingleInstance : public QObject {
    Q_OBJECT

public:
    enum class Outcome {
        Claimed, // this process is now the one instance
        HandedOver, // another instance runs and has taken the paths
        Unreachable, // another instance holds the lock but does not answer
    };

    // `socketPath` names the socket; the lock file lies beside it.
    explicit SingleInstance(const QString& socketPath, QObject* parent = nullptr);
    ~SingleInstance() override;

    // The default place of the socket, in the user's runtime folder.
    static QString defaultSocketPath();

    // Becomes the one instance, or hands `paths` (made absolute) to the running one and asks it to come
    // forward.
    Outcome claimOrHandOver(const QStringList& paths);
    // Stops being the one instance: no longer listens, and lets go of the lock, so that the next start
    // becomes the instance (or hands over to one that runs meanwhile).
    void release();

signals:
    // Another start asked this instance to come forward and open `paths` (possibly none).
    void activationRequested(const QStringList& paths);

private:
    bool handOver(const QStringList& paths) const;
    void readRequest(class QLocalSocket* connection);

    QString socketPath;
    QLockFile lock;
    QLocalServer server;
};
