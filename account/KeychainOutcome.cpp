#include "account/KeychainOutcome.h"

#include <QCoreApplication>

namespace {

// tapescribe-security's exit statuses.
enum ToolStatus {
    Success = 0,
    NotFound = 1,
    KeyringUnavailable = 3,
    KeyringLocked = 4,
};

QString text(const char* english)
{
    return QCoreApplication::translate("Keychain", english);
}

}

KeychainOutcome keychainOutcome(const CommandResult& run)
{
    if (!run.exitStatus)
        return KeychainOutcome::NoKeyring;
    switch (*run.exitStatus) {
    case Success:
        return KeychainOutcome::Done;
    case NotFound:
        return KeychainOutcome::NotFound;
    case KeyringUnavailable:
        return KeychainOutcome::NoKeyring;
    case KeyringLocked:
        return KeychainOutcome::Locked;
    default:
        return KeychainOutcome::Refused;
    }
}

QString accountReadProblem(KeychainOutcome outcome)
{
    switch (outcome) {
    case KeychainOutcome::Done:
    case KeychainOutcome::NotFound:
        break;
    case KeychainOutcome::Locked:
        return text(QT_TRANSLATE_NOOP("Keychain",
            "The keyring is locked, so the saved account could not be read. Saving asks for the keyring's "
            "password."));
    case KeychainOutcome::NoKeyring:
        return text(QT_TRANSLATE_NOOP(
            "Keychain", "No keyring is available: an account can be neither read nor saved."));
    case KeychainOutcome::Refused:
        return text(QT_TRANSLATE_NOOP("Keychain", "The keyring refused to give the saved account."));
    }
    return {};
}

QString accountNotStoredText()
{
    return text(QT_TRANSLATE_NOOP("Keychain", "Your account was not stored in the keyring."));
}

QString accountSaveProblem(KeychainOutcome outcome)
{
    switch (outcome) {
    case KeychainOutcome::Done:
    case KeychainOutcome::NotFound:
        break;
    case KeychainOutcome::Locked:
        return text(QT_TRANSLATE_NOOP("Keychain",
            "The keyring is locked, and it was not unlocked: its password prompt was dismissed or could not "
            "be "
            "shown. Save again to be asked once more."));
    case KeychainOutcome::NoKeyring:
        return text(QT_TRANSLATE_NOOP("Keychain",
            "No keyring is available: no keyring service answered, or it has no keyring to keep the account "
            "in."));
    case KeychainOutcome::Refused:
        return text(QT_TRANSLATE_NOOP("Keychain", "The keyring refused to store it."));
    }
    return {};
}
