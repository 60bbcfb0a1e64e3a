#include "support/PrivateKeyring.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QThread>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

constexpr int startLimitMs = 60000;

// A session bus that knows no services to start on demand: the Secret Service is there only when the
// test starts it.
QByteArray busConfiguration(const QString& socketPath)
{
    return QStringLiteral(R"(<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>session</type>
  <listen>unix:path=%1</listen>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/>
    <allow own="*"/>
  </policy>
</busconfig>
)")
        .arg(socketPath)
        .toUtf8();
}

void stop(QProcess& process)
{
    if (process.state() == QProcess::NotRunning)
        return;
    process.terminate();
    if (!process.waitForFinished(10000)) {
        process.kill();
        process.waitForFinished(10000);
    }
}

}

PrivateKeyring::PrivateKeyring(Kind kind)
    : previousAddress(qgetenv("DBUS_SESSION_BUS_ADDRESS"))
    , hadAddress(qEnvironmentVariableIsSet("DBUS_SESSION_BUS_ADDRESS"))
{
    QDir(folder.path()).mkpath(QStringLiteral("home"));
    QDir(folder.path()).mkpath(QStringLiteral("run"));
    QFile::setPermissions(
        folder.filePath(QStringLiteral("run")), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const QString socketPath = folder.filePath(QStringLiteral("run/bus"));
    qputenv("DBUS_SESSION_BUS_ADDRESS", QByteArrayLiteral("unix:path=") + QFile::encodeName(socketPath));

    switch (kind) {
    case Kind::Unlocked:
        if (startBus())
            startKeyring();
        break;
    case Kind::NoService:
        startBus();
        break;
    case Kind::NoBus:
        break;
    case Kind::Unanswering: {
        // Connections complete in the listen queue; nobody ever accepts, reads or writes them.
        silentSocket = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_un address {};
        address.sun_family = AF_UNIX;
        const QByteArray path = QFile::encodeName(socketPath);
        std::copy(path.begin(), path.end(), address.sun_path);
        if (::bind(silentSocket, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0
            || ::listen(silentSocket, 16) != 0)
            problem = QStringLiteral("cannot listen on ") + socketPath;
        break;
    }
    }
}

PrivateKeyring::~PrivateKeyring()
{
    stop(keyring);
    stop(bus);
    if (silentSocket >= 0)
        ::close(silentSocket);
    if (hadAddress)
        qputenv("DBUS_SESSION_BUS_ADDRESS", previousAddress);
    else
        qunsetenv("DBUS_SESSION_BUS_ADDRESS");
}

bool PrivateKeyring::startBus()
{
    const QString configPath = folder.filePath(QStringLiteral("bus.conf"));
    QFile config(configPath);
    if (!config.open(QIODevice::WriteOnly)
        || config.write(busConfiguration(folder.filePath(QStringLiteral("run/bus")))) < 0) {
        problem = QStringLiteral("cannot write ") + configPath;
        return false;
    }
    config.close();
    bus.start(QStringLiteral("dbus-daemon"),
        { QStringLiteral("--config-file=") + configPath, QStringLiteral("--nofork"),
            QStringLiteral("--print-address=1") });
    // The daemon prints its address once it listens.
    if (!bus.waitForStarted(startLimitMs) || !bus.waitForReadyRead(startLimitMs)) {
        problem = QStringLiteral("dbus-daemon did not start: ")
            + QString::fromLocal8Bit(bus.readAllStandardError());
        return false;
    }
    return true;
}

bool PrivateKeyring::startKeyring()
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("HOME"), folder.filePath(QStringLiteral("home")));
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), folder.filePath(QStringLiteral("run")));
    for (const char* name :
        { "DISPLAY", "WAYLAND_DISPLAY", "XDG_DATA_HOME", "XDG_CONFIG_HOME", "GNOME_KEYRING_CONTROL" })
        environment.remove(QString::fromLatin1(name));
    keyring.setProcessEnvironment(environment);
    keyring.start(QStringLiteral("gnome-keyring-daemon"),
        { QStringLiteral("--foreground"), QStringLiteral("--unlock"),
            QStringLiteral("--components=secrets") });
    if (!keyring.waitForStarted(startLimitMs)) {
        problem = QStringLiteral("gnome-keyring-daemon did not start");
        return false;
    }
    // The login keyring's password is read from standard input up to its end. Without an event loop,
    // QProcess writes only while it is waited on.
    keyring.write("private-keyring");
    keyring.waitForBytesWritten(startLimitMs);
    keyring.closeWriteChannel();
    const QDeadlineTimer deadline(startLimitMs);
    while (!hasOwner(QStringLiteral("org.freedesktop.secrets"))) {
        if (deadline.hasExpired() || keyring.state() == QProcess::NotRunning) {
            problem = QStringLiteral("gnome-keyring-daemon did not take the Secret Service's name: ")
                + QString::fromLocal8Bit(keyring.readAllStandardError());
            return false;
        }
        QThread::msleep(20);
    }
    return true;
}

bool PrivateKeyring::hasOwner(const QString& name)
{
    QProcess query;
    query.start(QStringLiteral("dbus-send"),
        { QStringLiteral("--session"), QStringLiteral("--print-reply"),
            QStringLiteral("--dest=org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
            QStringLiteral("org.freedesktop.DBus.NameHasOwner"), QStringLiteral("string:") + name });
    return query.waitForFinished(startLimitMs) && query.readAllStandardOutput().contains("boolean true");
}

bool PrivateKeyring::lockLoginKeyring()
{
    QProcess lock;
    lock.start(QStringLiteral("dbus-send"),
        { QStringLiteral("--session"), QStringLiteral("--print-reply"),
            QStringLiteral("--dest=org.freedesktop.secrets"), QStringLiteral("/org/freedesktop/secrets"),
            QStringLiteral("org.freedesktop.Secret.Service.Lock"),
            QStringLiteral("array:objpath:/org/freedesktop/secrets/collection/login") });
    return lock.waitForFinished(startLimitMs) && lock.exitStatus() == QProcess::NormalExit
        && lock.exitCode() == 0;
}
