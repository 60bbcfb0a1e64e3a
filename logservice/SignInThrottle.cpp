#include "logservice/SignInThrottle.h"

#include <QCryptographicHash>

#include <algorithm>

namespace {

// Names are kept by their digest: a name of any length costs the same few bytes.
QByteArray nameKey(const QString& name)
{
    return QCryptographicHash::hash(name.toUtf8(), QCryptographicHash::Sha256);
}

QByteArray clientKey(const QString& client)
{
    return client.toUtf8();
}

}

SignInThrottle::SignInThrottle()
    : SignInThrottle(Limits {})
{
}

SignInThrottle::SignInThrottle(const Limits& limits)
    : m_limits(limits)
{
}

bool SignInThrottle::isForgotten(qint64 lastMs, qint64 nowMs) const
{
    return nowMs - lastMs >= m_limits.forgetAfter.count();
}

std::chrono::milliseconds SignInThrottle::delayFor(
    const Table& table, const QByteArray& key, qint64 nowMs) const
{
    const auto found = table.constFind(key);
    if (found == table.cend() || isForgotten(found->lastMs, nowMs) || found->count < m_limits.freeFailures)
        return std::chrono::milliseconds(0);
    // Doubling stops long before the shift could overflow.
    const int doublings = std::min(found->count - m_limits.freeFailures, 16);
    return std::min<std::chrono::milliseconds>(
        m_limits.firstDelay * (1LL << doublings), m_limits.longestDelay);
}

void SignInThrottle::addFailure(Table& table, const QByteArray& key, qint64 nowMs) const
{
    if (!table.contains(key) && table.size() >= maximumTracked) {
        table.removeIf([&](const Table::iterator& entry) { return isForgotten(entry->lastMs, nowMs); });
        if (table.size() >= maximumTracked) {
            const auto oldest = std::min_element(table.begin(), table.end(),
                [](const Failures& a, const Failures& b) { return a.lastMs < b.lastMs; });
            table.erase(oldest);
        }
    }
    Failures& failures = table[key];
    if (isForgotten(failures.lastMs, nowMs))
        failures.count = 0;
    ++failures.count;
    failures.lastMs = nowMs;
}

std::chrono::milliseconds SignInThrottle::delay(
    const QString& name, const QString& client, qint64 nowMs) const
{
    return std::max(delayFor(m_names, nameKey(name), nowMs), delayFor(m_clients, clientKey(client), nowMs));
}

void SignInThrottle::failed(const QString& name, const QString& client, qint64 nowMs)
{
    addFailure(m_names, nameKey(name), nowMs);
    addFailure(m_clients, clientKey(client), nowMs);
}

void SignInThrottle::succeeded(const QString& name, const QString& client)
{
    m_names.remove(nameKey(name));
    m_clients.remove(clientKey(client));
}
