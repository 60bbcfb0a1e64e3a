#include "logservice/Secrets.h"

#include <QStringList>

#include <openssl/crypto.h>
#include <openssl/evp.h>
#include <openssl/rand.h>
#include <openssl/sha.h>

namespace {

// OWASP's 2023 figure for PBKDF2-HMAC-SHA256; about a third of a second here, paid once per sign-in.
constexpr int passwordIterations = 600000;
constexpr int saltLength = 16;
constexpr int hashLength = 32;
const QString scheme = QStringLiteral("pbkdf2-sha256");

std::optional<QByteArray> pbkdf2(const QByteArray& password, const QByteArray& salt, int iterations)
{
    QByteArray hash(hashLength, Qt::Uninitialized);
    const int ok = PKCS5_PBKDF2_HMAC(password.constData(), static_cast<int>(password.size()),
        reinterpret_cast<const unsigned char*>(salt.constData()), static_cast<int>(salt.size()), iterations,
        EVP_sha256(), hashLength, reinterpret_cast<unsigned char*>(hash.data()));
    if (ok != 1)
        return std::nullopt;
    return hash;
}

}

std::optional<QByteArray> randomBytes(int count)
{
    QByteArray bytes(count, Qt::Uninitialized);
    if (RAND_bytes(reinterpret_cast<unsigned char*>(bytes.data()), count) != 1)
        return std::nullopt;
    return bytes;
}

QByteArray sha256(const QByteArray& data)
{
    QByteArray digest(SHA256_DIGEST_LENGTH, Qt::Uninitialized);
    SHA256(reinterpret_cast<const unsigned char*>(data.constData()), static_cast<size_t>(data.size()),
        reinterpret_cast<unsigned char*>(digest.data()));
    return digest;
}

std::optional<QString> hashPassword(const QByteArray& password)
{
    const auto salt = randomBytes(saltLength);
    if (!salt)
        return std::nullopt;
    const auto hash = pbkdf2(password, *salt, passwordIterations);
    if (!hash)
        return std::nullopt;
    return QStringList { scheme, QString::number(passwordIterations), QString::fromLatin1(salt->toBase64()),
        QString::fromLatin1(hash->toBase64()) }
        .join(QLatin1Char('$'));
}

bool passwordMatches(const QByteArray& password, const QString& stored)
{
    const QStringList parts = stored.split(QLatin1Char('$'));
    if (parts.size() != 4 || parts.at(0) != scheme)
        return false;
    bool numeric = false;
    const int iterations = parts.at(1).toInt(&numeric);
    const QByteArray salt = QByteArray::fromBase64(parts.at(2).toLatin1());
    const QByteArray expected = QByteArray::fromBase64(parts.at(3).toLatin1());
    if (!numeric || iterations < 1 || salt.isEmpty() || expected.size() != hashLength)
        return false;
    const auto hash = pbkdf2(password, salt, iterations);
    return hash && CRYPTO_memcmp(hash->constData(), expected.constData(), hashLength) == 0;
}
