#pragma once

#include <QHash>
#include <QList>
#include <QSet>
#include <QString>

#include <optional>
#include <variant>

// The sign-ins that wait at once, and whose turn it is. An attempt counts from the moment it arrives, so
// parallel attempts cannot outrun the sign-in throttle: at most one attempt per account name and one per
// client is under way (waiting out its delay or being checked), the others wait their turn in the order
// they came. How many wait is bounded, overall and per client, so that sign-ins cannot take every
// connection the service has; an attempt past a bound is refused at once.
class SignInQueue
{
public:
    struct Limits
    {
        qsizetype waitingAtOnce = 128;
        qsizetype waitingPerClient = 64;
    };
    enum class Refusal {
        // The client has as many attempts waiting as it may.
        ClientFull,
        // The service has as many attempts waiting as it takes.
        ServiceFull,
    };
    using Ticket = quint64;

    SignInQueue();
    explicit SignInQueue(const Limits& limits);

    // Takes the attempt in, unless a bound refuses it.
    std::variant<Ticket, Refusal> arrive(const QString& name, const QString& client);
    // The attempt that waited longest among those whose name and client have none under way; it is under
    // way from now on. Nothing when no waiting attempt may start.
    std::optional<Ticket> startNext();
    // The attempt is over, or its client has gone: its name and client are free for the next one.
    void leave(Ticket ticket);

    qsizetype size() const { return m_attempts.size(); }

private:
    struct Attempt
    {
        Ticket ticket = 0;
        QString name;
        QString client;
        bool underWay = false;
    };

    Limits m_limits;
    Ticket m_lastTicket = 0;
    // In the order they arrived.
    QList<Attempt> m_attempts;
    QHash<QString, qsizetype> m_perClient;
    QSet<QString> m_namesUnderWay;
    QSet<QString> m_clientsUnderWay;
};
