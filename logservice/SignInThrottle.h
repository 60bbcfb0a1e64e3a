#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>

#include <chrono>

// Slows down guessing: after a few failed sign-ins for one account name, or from one client, each further
// attempt waits before its password is checked, twice as long after every failure, up to a ceiling. An
// account is never locked, so an attacker cannot keep its owner out; failures are forgotten a while after
// the last one, and a successful sign-in clears the name's and the client's count.
class SignInThrottle
{
public:
    // The defaults are the service's; tests shorten or lengthen them.
    struct Limits
    {
        int freeFailures = 5;
        std::chrono::milliseconds firstDelay { 1000 };
        std::chrono::milliseconds longestDelay { 30000 };
        std::chrono::milliseconds forgetAfter { 15 * 60 * 1000 };
    };
    // Names and clients followed at once: the oldest is forgotten first, so memory stays bounded whatever
    // an attacker sends.
    static constexpr qsizetype maximumTracked = 10000;

    SignInThrottle();
    explicit SignInThrottle(const Limits& limits);

    std::chrono::milliseconds delay(const QString& name, const QString& client, qint64 nowMs) const;
    void failed(const QString& name, const QString& client, qint64 nowMs);
    void succeeded(const QString& name, const QString& client);

private:
    struct Failures
    {
        int count = 0;
        qint64 lastMs = 0;
    };
    using Table = QHash<QByteArray, Failures>;

    std::chrono::milliseconds delayFor(const Table& table, const QByteArray& key, qint64 nowMs) const;
    void addFailure(Table& table, const QByteArray& key, qint64 nowMs) const;
    bool isForgotten(qint64 lastMs, qint64 nowMs) const;

    Limits m_limits;
    Table m_names;
    Table m_clients;
};
