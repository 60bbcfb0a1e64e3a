#pragma once

#include <QString>

#include <optional>

// The account as the keyring tool prints it for "find-generic-password -g": the attributes on standard
// output, among them the account line
//
//     "acct"<blob>="jsmith"
//
// and the password on standard error, as password: "secret". Values are cut at double quotes; no escape
// sequence is read. A value that could not survive that (a double quote, a line break, bytes outside ASCII,
// an empty text) is printed as 0x and the hexadecimal digits of its UTF-8 bytes instead, and read back
// exactly from that form.
struct StoredAccount
{
    QString username;
    QString password;
};

// What a find printed: no account when standard output holds no line (no item). A part that cannot be
// read stays empty.
std::optional<StoredAccount> storedAccount(const QString& output, const QString& error);
