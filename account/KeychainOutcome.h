#pragma once

#include "core/CommandResult.h"

#include <QString>

// How a run of the keyring tool ended, as the account's handlers tell the cases apart. The tool names the
// reason of a failure by its exit status; a run that could not start, or that did not end by its deadline,
// reached no keyring.
enum class KeychainOutcome {
    Done,
    NotFound, // the keyring holds no account item
    Locked, // the keyring is locked (an unlock: it stayed locked)
    NoKeyring, // no keyring service answered, or it has no keyring to keep items in
    Refused, // the keyring service answered the request with an error
};

KeychainOutcome keychainOutcome(const CommandResult& run);

// For the line under the preferences window's fields after the account was read: why no account could be
// read. Empty when the keyring answered, with an account or without one.
QString accountReadProblem(KeychainOutcome outcome);

// For the alert after a save that failed: that the account was not stored, and why.
QString accountNotStoredText();
QString accountSaveProblem(KeychainOutcome outcome);
