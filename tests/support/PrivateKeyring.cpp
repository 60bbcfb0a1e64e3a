#include "support/PrivateKeyring.h"
#include "support/TestEnvironment.h"

#include <QFile>

using namespace Qt::StringLiterals;

namespace {

constexpr int startLimitMs = 60000;

// A session bus that knows no services to start on demand: the Secret Service is there only when the
// test starts it.
constexpr char busConfiguration[] = R"(<busconfig><type>session</type><listen>unix:path=%1</listen>
<auth>EXTERNAL</auth><policy context="default"><allow send_destination="*" eavesdrop="true"/>
<allow eavesdrop="true"/><allow own="*"/></policy></busconfig>)";

bool succeeds(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    return process.waitForFinished(startLimitMs) && process.exitStatus() == QProcess::NormalExit
        && process.exitCode() == 0;
}

}

PrivateKeyring::PrivateKeyring(Kind kind)
    : previousAddress(qgetenv("DBUS_SESSION_BUS_ADDRESS"))
    , hadAddress(qEnvironmentVariableIsSet("DBUS_SESSION_BUS_ADDRESS"))
{
    // The tools the test starts would find the user's own keyring if anything below went wrong.
    if (const auto why = TestEnvironment::outsidePrivateSession()) {
        trouble = "refused outside the private test session: " + why->toStdString();
        return;
    }
    const QString socketPath = folder.filePath(u"bus"_s);
    qputenv("DBUS_SESSION_BUS_ADDRESS", QByteArrayLiteral("unix:path=") + QFile::encodeName(socketPath));
    if (kind == Kind::Unlocked)
        startKeyring(socketPath);
    // Takes connections and reads what they send, but never writes back.
    if (kind == Kind::Unanswering && !silent.listen(socketPath))
        trouble = "cannot listen on " + socketPath.toStdString();
}

PrivateKeyring::~PrivateKeyring()
{
    for (QProcess* process : { &answer, &prompter, &keyring, &bus }) {
        process->kill();
        process->waitForFinished(startLimitMs);
    }
    if (hadAddress)
        qputenv("DBUS_SESSION_BUS_ADDRESS", previousAddress);
    else
        qunsetenv("DBUS_SESSION_BUS_ADDRESS");
}

void PrivateKeyring::startKeyring(const QString& socketPath)
{
    QFile config(folder.filePath(u"bus.conf"_s));
    if (!config.open(QIODevice::WriteOnly)
        || config.write(QString::fromLatin1(busConfiguration).arg(socketPath).toUtf8()) < 0) {
        trouble = "cannot write " + config.fileName().toStdString();
        return;
    }
    config.close();
    bus.start(
        u"dbus-daemon"_s, { u"--config-file="_s + config.fileName(), u"--nofork"_s, u"--print-address=1"_s });
    // The daemon prints its address once it listens.
    if (!bus.waitForReadyRead(startLimitMs)) {
        trouble = "dbus-daemon did not start: " + bus.readAllStandardError().toStdString();
        return;
    }

    // The folder is private (0700), as the keyring daemon wants its runtime folder to be.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"HOME"_s, folder.path());
    environment.insert(u"XDG_RUNTIME_DIR"_s, folder.path());
    for (const QString& name : { u"DISPLAY"_s, u"WAYLAND_DISPLAY"_s, u"XDG_DATA_HOME"_s, u"XDG_CONFIG_HOME"_s,
             u"GNOME_KEYRING_CONTROL"_s })
        environment.remove(name);
    keyring.setProcessEnvironment(environment);
    keyring.start(u"gnome-keyring-daemon"_s, { u"--foreground"_s, u"--unlock"_s, u"--components=secrets"_s });
    // The login keyring's password is read from standard input up to its end. Without an event loop,
    // QProcess writes only while it is waited on.
    keyring.write(loginPassword);
    keyring.waitForBytesWritten(startLimitMs);
    keyring.closeWriteChannel();
    if (!succeeds(u"gdbus"_s,
            { u"wait"_s, u"--session"_s, u"--timeout"_s, QString::number(startLimitMs / 1000),
                u"org.freedesktop.secrets"_s }))
        trouble = "gnome-keyring-daemon did not take the Secret Service's name: "
            + keyring.readAllStandardError().toStdString();
}

bool PrivateKeyring::lockLoginKeyring()
{
    return succeeds(u"gdbus"_s,
        { u"call"_s, u"--session"_s, u"--dest=org.freedesktop.secrets"_s,
            u"--object-path=/org/freedesktop/secrets"_s, u"--method=org.freedesktop.Secret.Service.Lock"_s,
            u"@ao ['/org/freedesktop/secrets/collection/login']"_s });
}

bool PrivateKeyring::startPrompter()
{
    if (qEnvironmentVariableIsEmpty("DISPLAY"))
        return false;
    if (prompter.state() == QProcess::Running)
        return true;
    // In English, whatever the test's language, so that its window is found by its title.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"LANGUAGE"_s, u"C"_s);
    environment.insert(u"LC_ALL"_s, u"C"_s);
    prompter.setProcessEnvironment(environment);
    prompter.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    prompter.start(u"/usr/libexec/gcr-prompter"_s, {});
    return prompter.waitForStarted(startLimitMs)
        && succeeds(u"gdbus"_s,
            { u"wait"_s, u"--session"_s, u"--timeout"_s, QString::number(startLimitMs / 1000),
                u"org.gnome.keyring.SystemPrompter"_s });
}

bool PrivateKeyring::answerUnlockPrompt(const std::optional<QByteArray>& password)
{
    if (!startPrompter())
        return false;
    // Once the prompt shows and has the keyboard, the keys are typed as a user's: GTK ignores keys sent to a
    // window, which is how xdotool sends the keys of a chained command. Escape is the prompt's Cancel.
    // Keys typed before the prompt is ready for them are lost; the prompt then stays, or comes back after a
    // wrong password, and is answered again. The answer ends once the prompt has gone, so that the next
    // answer cannot find it still there.
    const QString keys = password
        ? u"xdotool key ctrl+a && xdotool type --delay 20 \"$1\" && xdotool key Return"_s
        : u"xdotool key Escape"_s;
    const QString script = u"prompt=\"--onlyvisible --name ^Unlock.Login.Keyring$\"\n"
                           u"timeout 60 xdotool search --sync $prompt >/dev/null || exit 1\n"
                           u"while window=$(xdotool search $prompt | head -n 1) && [ -n \"$window\" ]; do\n"
                           u"    xdotool windowfocus --sync \"$window\" && "_s
        + keys
        + u"\n"
          u"    for wait in 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17 18 19 20; do\n"
          u"        xdotool search $prompt >/dev/null || exit 0\n"
          u"        sleep 0.1\n"
          u"    done\n"
          u"done\n"_s;
    // An answer that found no prompt to answer gives way.
    answer.waitForFinished(startLimitMs);
    answer.kill();
    answer.waitForFinished(startLimitMs);
    answer.start(
        u"/bin/sh"_s, { u"-c"_s, script, u"sh"_s, QString::fromUtf8(password.value_or(QByteArray())) });
    return answer.waitForStarted(startLimitMs);
}
