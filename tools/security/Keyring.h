#pragma once

#include "SecurityOutput.h"

#include <memory>
#include <optional>
#include <string>
#include <variant>

// Why the keyring could not do what was asked.
struct KeyringFailure
{
    enum class Kind {
        NotFound, // no item of that service
        Locked, // the item, or the keyring a new item goes to, is locked (and stayed so, for an unlock)
        Unavailable, // no Secret Service answers on the session bus, or it has no default keyring
        Refused, // the Secret Service answered the request with an error
    };
    Kind kind;
    std::string message;
};

struct StoredItem
{
    FoundItem item;
    std::string secret;
};

// The user's keyring, reached over the Secret Service of the session bus (GNOME Keyring, KWallet).
// Items are generic passwords: the attribute "service" names what they are for, "account" holds the user
// name. Items saved by other programs are found as well, whatever schema they were saved with.
//
// Only unlockDefault asks the user anything: the other calls report a locked keyring rather than unlock
// it, so that reading the account at launch never puts a password prompt in front of the user.
class Keyring
{
public:
    ~Keyring();
    Keyring(Keyring&&) noexcept;
    Keyring& operator=(Keyring&&) = delete;

    static std::variant<Keyring, KeyringFailure> open();

    // The item of the service that was saved last, with its password.
    std::variant<StoredItem, KeyringFailure> find(const std::string& service) const;
    // Removes the item of the service that find shows.
    std::optional<KeyringFailure> remove(const std::string& service) const;
    // Saves a new item in the default keyring, replacing one with the same service and account there.
    std::optional<KeyringFailure> add(
        const std::string& service, const std::string& account, const std::string& secret) const;
    // Unlocks the default keyring when it is locked, through the Secret Service's own password prompt,
    // which is dismissed when it has not been answered within `promptSeconds`.
    std::optional<KeyringFailure> unlockDefault(unsigned promptSeconds) const;

private:
    struct Connection;
    explicit Keyring(std::unique_ptr<Connection> connection);

    std::unique_ptr<Connection> connection;
};
