#pragma once

#include "logservice/SignInQueue.h"
#include "logservice/SignInThrottle.h"

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QThreadPool>

#include <chrono>
#include <deque>
#include <functional>
#include <optional>

// Checks sign-in passwords away from the service's own thread, one at a time: a check costs a good part of a
// second of one core, and the pages must go on answering meanwhile. Each attempt waits its turn in the
// sign-in queue, then as long as the sign-in throttle asks for its name and client, then for the worker.
class PasswordChecks : public QObject
{
    Q_OBJECT

public:
    using Verify = std::function<bool(const QByteArray& password, const QString& stored)>;
    using Done = std::function<void(bool matches)>;
    using Clock = std::function<qint64()>;

    struct Limits
    {
        SignInThrottle::Limits throttle;
        SignInQueue::Limits queue;
    };

    // Why an attempt was not taken, and when its client may try again.
    struct Busy
    {
        SignInQueue::Refusal reason;
        std::chrono::seconds retryAfter;
    };

    // `verify` runs on the worker thread; tests give one that they hold up at will.
    PasswordChecks(Verify verify, Clock clock, const Limits& limits = {}, QObject* parent = nullptr);
    ~PasswordChecks() override;

    // Checks `password` for `name` against its stored hash and calls `done` on this thread, unless `client`
    // has gone by then; a client that goes while the attempt waits for its turn gives its place up. A name
    // without a stored hash costs the same time as one with it and never matches, so the answer's delay
    // does not tell which names exist. Refuses at once, without calling `done`, when the queue is full.
    std::optional<Busy> check(const QString& name, const QString& clientAddress, const QByteArray& password,
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
        QMetaObject::Connection leaving;
    };

    void clientLeft(SignInQueue::Ticket ticket);
    void startTurns();
    void delayed(SignInQueue::Ticket ticket);
    void startNextCheck();
    void finish(SignInQueue::Ticket ticket, bool matches);
    void endTurn(SignInQueue::Ticket ticket);

    Verify m_verify;
    Clock m_clock;
    SignInThrottle m_throttle;
    SignInQueue m_queue;
    QHash<SignInQueue::Ticket, Pending> m_pending;
    std::deque<SignInQueue::Ticket> m_checks;
    bool m_checking = false;
    // Last, so it is destroyed first and waits for a running check before anything that check reports to.
    QThreadPool m_worker;
};
