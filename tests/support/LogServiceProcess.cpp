#include "support/LogServiceProcess.h"

#include "support/TestEnvironment.h"

#include <QRegularExpression>
#include <QTest>

#include <algorithm>

#include <csignal>
#include <sys/prctl.h>
#include <unistd.h>

namespace {

constexpr int startTimeoutMs = 30000;
constexpr int commandTimeoutMs = 30000;

QString program()
{
    return TestEnvironment::builtProgram(QStringLiteral("tapescribe-logservice"));
}

quint16 listeningPort(const QStringList& lines, const QString& scheme)
{
    const QRegularExpression pattern(
        QStringLiteral("^tapescribe-logservice listening on %1://127\\.0\\.0\\.1:([0-9]+)$").arg(scheme));
    for (const QString& line : lines) {
        const auto match = pattern.match(line);
        if (match.hasMatch())
            return static_cast<quint16>(match.captured(1).toUInt());
    }
    return 0;
}

// Every child of a test ends with the test, also when the test crashes and never reaches a destructor:
// the kernel kills it when its parent dies, and a parent that died before the child got here is noticed too.
void endWithParent(QProcess& process)
{
    const pid_t parent = ::getpid();
    process.setChildProcessModifier([parent] {
        if (::prctl(PR_SET_PDEATHSIG, SIGKILL) != 0 || ::getppid() != parent)
            ::_exit(127);
    });
}

}

LogServiceProcess::LogServiceProcess()
{
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    endWithParent(m_process);
}

LogServiceProcess::~LogServiceProcess()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.terminate();
    if (!m_process.waitForFinished(10000)) {
        m_process.kill();
        m_process.waitForFinished(10000);
    }
}

bool LogServiceProcess::start()
{
    if (!m_dataDirectory.isValid() || program().isEmpty())
        return false;
    QProcess spkiCommand;
    endWithParent(spkiCommand);
    spkiCommand.start(program(), { QStringLiteral("spki"), QStringLiteral("--data"), dataDirectory() });
    if (!spkiCommand.waitForFinished(commandTimeoutMs) || spkiCommand.exitStatus() != QProcess::NormalExit
        || spkiCommand.exitCode() != 0)
        return false;
    m_spki = QString::fromLatin1(spkiCommand.readAllStandardOutput().trimmed());

    m_process.start(program(),
        { QStringLiteral("serve"), QStringLiteral("--data"), dataDirectory(), QStringLiteral("--https-port"),
            QStringLiteral("0"), QStringLiteral("--http-port"), QStringLiteral("0") });
    const bool ready = QTest::qWaitFor(
        [this] {
            readOutput();
            m_httpsPort = listeningPort(m_lines, QStringLiteral("https"));
            m_httpPort = listeningPort(m_lines, QStringLiteral("http"));
            return (m_httpsPort != 0 && m_httpPort != 0) || m_process.state() == QProcess::NotRunning;
        },
        startTimeoutMs);
    return ready && m_httpsPort != 0 && m_httpPort != 0 && !m_spki.isEmpty();
}

bool LogServiceProcess::addAccount(const QString& name, const QString& password)
{
    QProcess command;
    command.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    endWithParent(command);
    command.start(
        program(), { QStringLiteral("add-account"), QStringLiteral("--data"), dataDirectory(), name });
    if (!command.waitForStarted(commandTimeoutMs))
        return false;
    command.write(password.toUtf8());
    command.closeWriteChannel();
    return command.waitForFinished(commandTimeoutMs) && command.exitStatus() == QProcess::NormalExit
        && command.exitCode() == 0;
}

quint16 LogServiceProcess::httpsPort() const
{
    return m_httpsPort;
}

quint16 LogServiceProcess::httpPort() const
{
    return m_httpPort;
}

QString LogServiceProcess::spki() const
{
    return m_spki;
}

qint64 LogServiceProcess::processId() const
{
    return m_process.processId();
}

QString LogServiceProcess::dataDirectory() const
{
    return m_dataDirectory.path();
}

QByteArray LogServiceProcess::chromiumFlags(const QString& host) const
{
    // Chromium splits the variable at blanks: the resolver rule holds one and is quoted as a whole.
    return QStringLiteral(
        "\"--host-resolver-rules=MAP %1 127.0.0.1:%2\" --ignore-certificate-errors-spki-list=%3")
        .arg(host, QString::number(m_httpsPort), m_spki)
        .toUtf8();
}

QStringList LogServiceProcess::requestLines() const
{
    readOutput();
    return m_lines.filter(QRegularExpression(QStringLiteral("^request ")));
}

bool LogServiceProcess::waitForRequest(const QString& linePrefix, int timeoutMs)
{
    return QTest::qWaitFor(
        [&] {
            const QStringList lines = requestLines();
            return std::any_of(lines.cbegin(), lines.cend(),
                [&](const QString& line) { return line.startsWith(linePrefix); });
        },
        timeoutMs);
}

void LogServiceProcess::readOutput() const
{
    m_partialLine += m_process.readAllStandardOutput();
    qsizetype end;
    while ((end = m_partialLine.indexOf('\n')) >= 0) {
        m_lines.append(QString::fromUtf8(m_partialLine.left(end)));
        m_partialLine.remove(0, end + 1);
    }
}
