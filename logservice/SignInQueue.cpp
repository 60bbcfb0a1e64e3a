#include "logservice/SignInQueue.h"

#include <algorithm>

SignInQueue::SignInQueue()
    : SignInQueue(Limits {})
{
}

SignInQueue::SignInQueue(const Limits& limits)
    : m_limits(limits)
{
}

std::variant<SignInQueue::Ticket, SignInQueue::Refusal> SignInQueue::arrive(
    const QString& name, const QString& client)
{
    if (m_perClient.value(client) >= m_limits.waitingPerClient)
        return Refusal::ClientFull;
    if (m_attempts.size() >= m_limits.waitingAtOnce)
        return Refusal::ServiceFull;
    ++m_perClient[client];
    m_attempts.append({ ++m_lastTicket, name, client, false });
    return m_lastTicket;
}

std::optional<SignInQueue::Ticket> SignInQueue::startNext()
{
    for (Attempt& attempt : m_attempts) {
        if (attempt.underWay || m_namesUnderWay.contains(attempt.name)
            || m_clientsUnderWay.contains(attempt.client))
            continue;
        attempt.underWay = true;
        m_namesUnderWay.insert(attempt.name);
        m_clientsUnderWay.insert(attempt.client);
        return attempt.ticket;
    }
    return std::nullopt;
}

void SignInQueue::leave(Ticket ticket)
{
    const auto found = std::find_if(
        m_attempts.begin(), m_attempts.end(), [ticket](const Attempt& a) { return a.ticket == ticket; });
    if (found == m_attempts.end())
        return;
    if (found->underWay) {
        m_namesUnderWay.remove(found->name);
        m_clientsUnderWay.remove(found->client);
    }
    if (--m_perClient[found->client] == 0)
        m_perClient.remove(found->client);
    m_attempts.erase(found);
}
