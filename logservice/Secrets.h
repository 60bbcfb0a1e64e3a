#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// Random bytes from OpenSSL's generator; nothing when it cannot deliver them.
std::optional<QByteArray> randomBytes(int count);

QByteArray sha256(const QByteArray& data);

// A stored password: "pbkdf2-sha256$ITERATIONS$SALT$HASH" (salt and hash in base64), so that the work
// factor can be raised later without breaking stored accounts. Nothing when no salt could be drawn.
std::optional<QString> hashPassword(const QByteArray& password);

// Compares in constant time; a malformed stored value never matches.
bool passwordMatches(const QByteArray& password, const QString& stored);
