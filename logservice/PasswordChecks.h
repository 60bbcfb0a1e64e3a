#pragma once

#include "logservice/SignInThrottle.h"

#include <QObject>
#include <QPointer>
#include <QThreadPool>

#include <deque>
#include <functional>
#include <optional>

// Checks sign-in passwords away from the service's own thread, one at a time: a check costs a good part of a
// second of one core, and the pages must go on answering meanwhile. Each check first waits as long as the
// sign-in throttle asks for its name and client.
class PasswordChecks : public QObject
{
    Q_OBJECT

public:
    using Verify = std::function<bool(const QByteArray& password, const QString& stored)>;
    using Done = std::function<void(bool matches)>;
    using Clock = std::function<qint64()>;

    // `verify` runs on the worker thread; tests give one that they hold up at will.
    explicit PasswordChecks(Verify verify, Clock clock, QObject* parent = nullptr);
    ~PasswordChecks() override;

    // Checks `password` for `name` against its stored hash and calls `done` on this thread, unless `client`
    // has gone by then. A name without a stored hash costs the same time as one with it and never matches,
    // so the answer's delay does not tell which names exist.
    void check(const QString& name, const QString& clientAddress, const QByteArray& password,
        const std::optional<QString>& stored, QObject* client, Done done);

private:
    struct Pending
    {
        QString name;
        QString clientAddress;
        QByteArray password;
        std::optional<QString> stored;
        QPointer<QObject> client;
        Done done;
    };

    void enqueue(Pending pending);
    void startNext();
    void finish(const Pending& pending, bool matches);

    Verify m_verify;
    Clock m_clock;
    SignInThrottle m_throttle;
    std::deque<Pending> m_queue;
    bool m_checking = false;
    // Last, so it is destroyed first and waits for a running check before anything that check reports to.
    QThreadPool m_worker;
};
