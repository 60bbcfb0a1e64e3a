#pragma once

#include <QByteArray>
#include <QLocalServer>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>

#include <optional>
#include <string>

// A Secret Service of the test's own. While it lives, the test process's DBUS_SESSION_BUS_ADDRESS points
// at it, so that every tool the test starts talks to it; the address the process had comes back after.
//
// Its HOME and XDG_RUNTIME_DIR are a temporary folder, and the keyring daemon starts without a display:
// with one, it would open an unlock prompt and every lookup would wait on it. Outside the private session
// of scripts/desktop-session.sh it sets up nothing and says so in problem().
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

    // The login keyring's password.
    static constexpr char loginPassword[] = "private-keyring";

    // From now on, answers the next unlock prompt that shows: with the password typed and Unlock, or with
    // Cancel when there is none. The answer runs beside the test, which may wait on the prompt meanwhile.
    // Until this is called no prompt can show, and every unlock fails at once. False when no prompt can
    // show: without an X display, or when the desktop's password prompter does not start.
    bool answerUnlockPrompt(const std::optional<QByteArray>& password);

private:
    void startKeyring(const QString& socketPath);
    // The desktop's password prompter, on this bus and the test's X display; it ends by itself when idle.
    bool startPrompter();

    QTemporaryDir folder;
    QProcess bus;
    QProcess keyring;
    QProcess prompter;
    QProcess answer;
    QLocalServer silent;
    QByteArray previousAddress;
    bool hadAddress = false;
    std::string trouble;
};
