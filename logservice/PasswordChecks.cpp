#include "logservice/PasswordChecks.h"

#include "logservice/Secrets.h"

#include <QTimer>

#include <sys/resource.h>
#include <unistd.h>

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

PasswordChecks::PasswordChecks(Verify verify, Clock clock, QObject* parent)
    : QObject(parent)
    , m_verify(std::move(verify))
    , m_clock(std::move(clock))
{
    m_worker.setMaxThreadCount(1);
}

PasswordChecks::~PasswordChecks()
{
    m_worker.waitForDone();
}

void PasswordChecks::check(const QString& name, const QString& clientAddress, const QByteArray& password,
    const std::optional<QString>& stored, QObject* client, Done done)
{
    Pending pending { name, clientAddress, password, stored, client, std::move(done) };
    const auto wait = m_throttle.delay(name, clientAddress, m_clock());
    if (wait.count() == 0)
        return enqueue(std::move(pending));
    // The timer belongs to the client: a client that hangs up while it waits costs nothing more.
    QTimer::singleShot(
        wait, client, [this, pending = std::move(pending)]() mutable { enqueue(std::move(pending)); });
}

void PasswordChecks::enqueue(Pending pending)
{
    m_queue.push_back(std::move(pending));
    startNext();
}

void PasswordChecks::startNext()
{
    while (!m_checking && !m_queue.empty()) {
        Pending pending = std::move(m_queue.front());
        m_queue.pop_front();
        if (!pending.client)
            continue;
        m_checking = true;
        m_worker.start([this, pending = std::move(pending)] {
            lowerWorkerPriority();
            const bool matches = pending.stored ? m_verify(pending.password, *pending.stored)
                                                : (m_verify(pending.password, unknownAccountHash()), false);
            QMetaObject::invokeMethod(
                this, [this, pending, matches] { finish(pending, matches); }, Qt::QueuedConnection);
        });
    }
}

void PasswordChecks::finish(const Pending& pending, bool matches)
{
    m_checking = false;
    if (matches)
        m_throttle.succeeded(pending.name, pending.clientAddress);
    else
        m_throttle.failed(pending.name, pending.clientAddress, m_clock());
    if (pending.client)
        pending.done(matches);
    startNext();
}
