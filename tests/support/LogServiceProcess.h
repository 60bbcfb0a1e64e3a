#pragma once

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// Runs tapescribe-logservice, as the build made it, in a fresh data folder for one test, with both listeners
// on free ports; stops it when destroyed, and the kernel ends it when the test process dies. Needs a QCoreApplication: the waits keep its event loop turning,
// so a web view in the same test goes on loading meanwhile.
class LogServiceProcess
{
public:
    LogServiceProcess();
    ~LogServiceProcess();
    LogServiceProcess(const LogServiceProcess&) = delete;
    LogServiceProcess& operator=(const LogServiceProcess&) = delete;

    // Starts the service and waits until both listeners are ready; false when it does not get there.
    bool start();
    bool addAccount(const QString& name, const QString& password);

    quint16 httpsPort() const;
    quint16 httpPort() const;
    // base64 of the SHA-256 of the service certificate's public key.
    QString spki() const;
    QString dataDirectory() const;
    qint64 processId() const;
    // The value for QTWEBENGINE_CHROMIUM_FLAGS that sends https://`host`/ to this service and accepts its
    // certificate, and no other, for it.
    QByteArray chromiumFlags(const QString& host) const;

    // The "request ..." lines the service has written so far.
    QStringList requestLines() const;
    // Waits until a request line starting with `linePrefix` has been written.
    bool waitForRequest(const QString& linePrefix, int timeoutMs);

private:
    void readOutput() const;

    QTemporaryDir m_dataDirectory;
    mutable QProcess m_process;
    mutable QByteArray m_partialLine;
    mutable QStringList m_lines;
    quint16 m_httpsPort = 0;
    quint16 m_httpPort = 0;
    QString m_spki;
};
