#include "logservice/PasswordChecks.h"

#include "logservice/Secrets.h"

#include <QTimer>

#include <algorithm>

#include <sys/resource.h>
#include <unistd.h>

using namespace std::chrono_literals;

namespace {

constexpr int workerNiceness = 10;

// Hashed once, on the worker thread, the first time an unknown name signs in.
const QString& unknownAccountHash()
{
    static const QString hash = hashPassword(QByteArrayLiteral("unknown account")).value_or(QString());
    return hash;
}

// The worker yields to the thread that answers pages whenever both want the same core: a sign-in may wait a
// little longer, a page should not.
void lowerWorkerPriority()
{
    static thread_local const bool lowered
        = ::setpriority(PRIO_PROCESS, static_cast<id_t>(::gettid()), workerNiceness) == 0;
    Q_UNUSED(lowered);
}

}

PasswordChecks::PasswordChecks(Verify verify, Clock clock, const Limits& limits, QObject* parent)
    : QObject(parent)
    , m_verify(std::move(verify))
    , m_clock(std::move(clock))
    , m_throttle(limits.throttle)
    , m_queue(limits.queue)
{
    m_worker.setMaxThreadCount(1);
}

PasswordChecks::~PasswordChecks()
{
    m_worker.waitForDone();
}

std::optional<PasswordChecks::Busy> PasswordChecks::check(const QString& name, const QString& clientAddress,
    const QByteArray& password, const std::optional<QString>& stored, QObject* client, Done done)
{
    const auto arrived = m_queue.arrive(name, clientAddress);
    if (const auto* refusal = std::get_if<SignInQueue::Refusal>(&arrived)) {
        // Not before the client's own delay would let it in; a second at least.
        const auto delay = m_throttle.delay(name, clientAddress, m_clock());
        return Busy { *refusal, std::max(std::chrono::ceil<std::chrono::seconds>(delay), 1s) };
    }
    const SignInQueue::Ticket ticket = std::get<SignInQueue::Ticket>(arrived);
    Pending pending { name, clientAddress, password, stored, client, std::move(done), {} };
    pending.leaving = connect(client, &QObject::destroyed, this, [this, ticket] { clientLeft(ticket); });
    m_pending.insert(ticket, std::move(pending));
    startTurns();
    return std::nullopt;
}

// An attempt that waits for its turn goes with its client. One already under way runs out its delay all the
// same: hanging up must not let the next attempt of that name or client start sooner.
void PasswordChecks::clientLeft(SignInQueue::Ticket ticket)
{
    m_queue.leave(ticket);
    m_pending.remove(ticket);
    startTurns();
}

void PasswordChecks::startTurns()
{
    while (const auto ticket = m_queue.startNext()) {
        Pending& pending = m_pending[*ticket];
        disconnect(pending.leaving);
        // The delay counts every failure before this attempt: its predecessors of the same name and client
        // have all had their verdicts.
        const auto wait = m_throttle.delay(pending.name, pending.clientAddress, m_clock());
        if (wait.count() == 0) {
            m_checks.push_back(*ticket);
            continue;
        }
        QTimer::singleShot(wait, this, [this, ticket = *ticket] { delayed(ticket); });
    }
    startNextCheck();
}

void PasswordChecks::delayed(SignInQueue::Ticket ticket)
{
    m_checks.push_back(ticket);
    startNextCheck();
}

void PasswordChecks::startNextCheck()
{
    while (!m_checking && !m_checks.empty()) {
        const SignInQueue::Ticket ticket = m_checks.front();
        m_checks.pop_front();
        const Pending& pending = m_pending[ticket];
        if (!pending.client) {
            endTurn(ticket);
            continue;
        }
        m_checking = true;
        m_worker.start([this, ticket, password = pending.password, stored = pending.stored] {
            lowerWorkerPriority();
            const bool matches
                = stored ? m_verify(password, *stored) : (m_verify(password, unknownAccountHash()), false);
            QMetaObject::invokeMethod(
                this, [this, ticket, matches] { finish(ticket, matches); }, Qt::QueuedConnection);
        });
    }
}

void PasswordChecks::finish(SignInQueue::Ticket ticket, bool matches)
{
    m_checking = false;
    const Pending pending = m_pending.value(ticket);
    if (matches)
        m_throttle.succeeded(pending.name, pending.clientAddress);
    else
        m_throttle.failed(pending.name, pending.clientAddress, m_clock());
    if (pending.client)
        pending.done(matches);
    endTurn(ticket);
}

void PasswordChecks::endTurn(SignInQueue::Ticket ticket)
{
    m_queue.leave(ticket);
    m_pending.remove(ticket);
    startTurns();
}
