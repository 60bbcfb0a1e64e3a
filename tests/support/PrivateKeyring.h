#pragma once

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>

#include <memory>

// A Secret Service of the test's own. While it lives, the test process's DBUS_SESSION_BUS_ADDRESS points
// at it, so that every tool the test starts talks to it; the address the process had comes back after.
//
// Its HOME and XDG_RUNTIME_DIR are a temporary folder, and the keyring daemon starts without a display:
// with one, it would open an unlock prompt and every lookup would wait on it.
class PrivateKeyring
{
public:
    enum class Kind {
        Unlocked, // a session bus with an unlocked GNOME keyring on it
        NoService, // a session bus on which no Secret Service runs or can be started
        NoBus, // an address at which nothing listens
        Unanswering // a socket that accepts connections and never answers
    };

    explicit PrivateKeyring(Kind kind = Kind::Unlocked);
    ~PrivateKeyring();
    PrivateKeyring(const PrivateKeyring&) = delete;
    PrivateKeyring& operator=(const PrivateKeyring&) = delete;

    // Whether the service was started as asked; when not, why.
    bool isReady() const { return problem.isEmpty(); }
    QString whyNotReady() const { return problem; }

    // Locks the login keyring (the one new items go to), as the desktop does when the user locks it.
    bool lockLoginKeyring();

private:
    bool startBus();
    bool startKeyring();
    bool hasOwner(const QString& name);

    QTemporaryDir folder;
    QProcess bus;
    QProcess keyring;
    int silentSocket = -1;
    QByteArray previousAddress;
    bool hadAddress = false;
    QString problem;
};
