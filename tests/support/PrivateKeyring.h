#pragma once

#include <QByteArray>
#include <QLocalServer>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>

#include <string>

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
        NoBus, // an address at which nothing listens
        Unanswering // a socket that accepts connections and never answers
    };

    explicit PrivateKeyring(Kind kind = Kind::Unlocked);
    ~PrivateKeyring();
    PrivateKeyring(const PrivateKeyring&) = delete;
    PrivateKeyring& operator=(const PrivateKeyring&) = delete;

    // Why the service could not be set up as asked; empty when it was.
    const std::string& problem() const { return trouble; }

    // Locks the login keyring (the one new items go to), as the desktop does when the user locks it.
    bool lockLoginKeyring();

private:
    void startKeyring(const QString& socketPath);

    QTemporaryDir folder;
    QProcess bus;
    QProcess keyring;
    QLocalServer silent;
    QByteArray previousAddress;
    bool hadAddress = false;
    std::string trouble;
};
