#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The text tapescribe-security prints for a found item: its attributes on standard output and its
// password on standard error, in the form the application reads (account/KeychainOutput.h).
//
// Readers cut these lines at line feeds and double quotes, and decode them as 7-bit ASCII. A value survives
// that only when it is non-empty printable ASCII without a double quote; every other value is printed as
// 0x and the hexadecimal digits of its bytes, which readers recognise, so that it comes back exactly.

struct FoundItem
{
    std::string keyring; // where the item lives (the collection's object path)
    std::optional<std::string> account; // absent for items saved without one
    std::string label;
    std::string service;
    std::uint64_t created = 0; // seconds since the epoch
    std::uint64_t modified = 0; // seconds since the epoch
};

// A value as it stands in an attribute or password line: "text" or 0xHEX.
std::string printedValue(std::string_view bytes);

// Standard output of a find: the item's keyring, class and attributes, the account on the line that
// opens with four blanks and "acct".
std::string itemReport(const FoundItem& item);

// Standard error of a find with -g: the line "password: " and the printed password.
std::string passwordReport(std::string_view secret);

// A moment in the attribute form YYYYMMDDhhmmssZ (UTC).
std::string attributeTime(std::uint64_t secondsSinceEpoch);
