#include "logservice/ServiceCertificate.h"

#include "logservice/Secrets.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QLockFile>

#include <openssl/bn.h>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/x509.h>
#include <openssl/x509v3.h>

#include <memory>

namespace {

const QString keyFileName = QStringLiteral("service-key.pem");
const QString certificateFileName = QStringLiteral("service-cert.pem");
constexpr long validityDays = 825;
constexpr qint64 renewalMarginDays = 7;

template <auto freeFunction> struct OpenSslDeleter
{
    template <typename T> void operator()(T* pointer) const { freeFunction(pointer); }
};
using KeyPointer = std::unique_ptr<EVP_PKEY, OpenSslDeleter<EVP_PKEY_free>>;
using X509Pointer = std::unique_ptr<X509, OpenSslDeleter<X509_free>>;
using BioPointer = std::unique_ptr<BIO, OpenSslDeleter<BIO_free>>;
using BignumPointer = std::unique_ptr<BIGNUM, OpenSslDeleter<BN_free>>;
using ExtensionPointer = std::unique_ptr<X509_EXTENSION, OpenSslDeleter<X509_EXTENSION_free>>;

QByteArray bioContents(BIO* bio)
{
    char* data = nullptr;
    const long size = BIO_get_mem_data(bio, &data);
    return QByteArray(data, static_cast<qsizetype>(size));
}

BioPointer bioFrom(const QByteArray& bytes)
{
    return BioPointer(BIO_new_mem_buf(bytes.constData(), static_cast<int>(bytes.size())));
}

bool addExtension(X509* certificate, int nid, const QByteArray& value)
{
    X509V3_CTX context;
    X509V3_set_ctx_nodb(&context);
    X509V3_set_ctx(&context, certificate, certificate, nullptr, nullptr, 0);
    const ExtensionPointer extension(X509V3_EXT_conf_nid(nullptr, &context, nid, value.constData()));
    return extension && X509_add_ext(certificate, extension.get(), -1) == 1;
}

bool setRandomSerialNumber(X509* certificate)
{
    const auto serial = randomBytes(16);
    if (!serial)
        return false;
    // A positive number of at most 127 bits, as RFC 5280 asks.
    QByteArray positive = *serial;
    positive[0] = static_cast<char>(positive.at(0) & 0x7f);
    const BignumPointer number(BN_bin2bn(reinterpret_cast<const unsigned char*>(positive.constData()),
        static_cast<int>(positive.size()), nullptr));
    return number && BN_to_ASN1_INTEGER(number.get(), X509_get_serialNumber(certificate)) != nullptr;
}

struct PemPair
{
    QByteArray key;
    QByteArray certificate;
};

KeyPointer readPrivateKey(const QByteArray& pem)
{
    const BioPointer bio = bioFrom(pem);
    return KeyPointer(PEM_read_bio_PrivateKey(bio.get(), nullptr, nullptr, nullptr));
}

// A certificate for `hostName` on `key`, or on a new key when there is none.
std::optional<PemPair> createSelfSigned(const QString& hostName, KeyPointer key)
{
    if (!key)
        key.reset(EVP_EC_gen("P-256"));
    const X509Pointer certificate(X509_new());
    if (!key || !certificate)
        return std::nullopt;
    X509* x = certificate.get();
    X509_NAME* name = X509_get_subject_name(x);
    const QByteArray commonName = hostName.toUtf8();
    const bool built = X509_set_version(x, 2) == 1 && setRandomSerialNumber(x)
        && X509_gmtime_adj(X509_getm_notBefore(x), -24 * 60 * 60) != nullptr
        && X509_gmtime_adj(X509_getm_notAfter(x), validityDays * 24 * 60 * 60) != nullptr
        && X509_set_pubkey(x, key.get()) == 1
        && X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_UTF8,
               reinterpret_cast<const unsigned char*>(commonName.constData()), -1, -1, 0)
            == 1
        && X509_NAME_add_entry_by_txt(name, "O", MBSTRING_UTF8,
               reinterpret_cast<const unsigned char*>("tapeScribe local log service"), -1, -1, 0)
            == 1
        && X509_set_issuer_name(x, name) == 1 && addExtension(x, NID_basic_constraints, "critical,CA:FALSE")
        && addExtension(x, NID_ext_key_usage, "serverAuth")
        && addExtension(x, NID_subject_key_identifier, "hash")
        && addExtension(x, NID_subject_alt_name, "DNS:" + commonName + ",DNS:localhost,IP:127.0.0.1")
        && X509_sign(x, key.get(), EVP_sha256()) > 0;
    if (!built)
        return std::nullopt;

    const BioPointer keyBio(BIO_new(BIO_s_mem()));
    const BioPointer certificateBio(BIO_new(BIO_s_mem()));
    if (!keyBio || !certificateBio
        || PEM_write_bio_PrivateKey(keyBio.get(), key.get(), nullptr, nullptr, 0, nullptr, nullptr) != 1
        || PEM_write_bio_X509(certificateBio.get(), x) != 1)
        return std::nullopt;
    return PemPair { bioContents(keyBio.get()), bioContents(certificateBio.get()) };
}

// Written beside the final name and renamed into place, created with owner-only permissions from the
// start so the key is never readable by others, not even for a moment.
bool writePrivateFile(const QString& path, const QByteArray& contents)
{
    const QString temporaryPath
        = path + QStringLiteral(".new-") + QString::number(QCoreApplication::applicationPid());
    QFile::remove(temporaryPath);
    QFile file(temporaryPath);
    if (!file.open(
            QIODevice::WriteOnly | QIODevice::NewOnly, QFileDevice::ReadOwner | QFileDevice::WriteOwner)
        || file.write(contents) != contents.size() || !file.flush()) {
        file.remove();
        return false;
    }
    file.close();
    QFile::remove(path);
    if (!QFile::rename(temporaryPath, path)) {
        QFile::remove(temporaryPath);
        return false;
    }
    return true;
}

bool namesHost(const QSslCertificate& certificate, const QString& hostName)
{
    const QStringList names = certificate.subjectAlternativeNames().values(QSsl::DnsEntry);
    return names.contains(hostName, Qt::CaseInsensitive);
}

bool isUsable(const PemPair& pem, const QString& hostName, HostMatch match)
{
    const BioPointer keyBio = bioFrom(pem.key);
    const BioPointer certificateBio = bioFrom(pem.certificate);
    const KeyPointer key(PEM_read_bio_PrivateKey(keyBio.get(), nullptr, nullptr, nullptr));
    const X509Pointer certificate(PEM_read_bio_X509(certificateBio.get(), nullptr, nullptr, nullptr));
    if (!key || !certificate || X509_check_private_key(certificate.get(), key.get()) != 1)
        return false;
    const QDateTime renewal = QDateTime::currentDateTimeUtc().addDays(renewalMarginDays);
    const QSslCertificate qtCertificate(pem.certificate, QSsl::Pem);
    return !qtCertificate.isNull() && qtCertificate.expiryDate() > renewal
        && (match == HostMatch::Any || namesHost(qtCertificate, hostName));
}

std::optional<PemPair> readPemPair(const QDir& directory)
{
    QFile keyFile(directory.filePath(keyFileName));
    QFile certificateFile(directory.filePath(certificateFileName));
    if (!keyFile.open(QIODevice::ReadOnly) || !certificateFile.open(QIODevice::ReadOnly))
        return std::nullopt;
    return PemPair { keyFile.readAll(), certificateFile.readAll() };
}

}

Result<ServiceCertificate> loadOrCreateServiceCertificate(
    const QString& directoryPath, const QString& hostName, HostMatch match)
{
    const QDir directory(directoryPath);
    // `spki` and `serve` may start together on a fresh folder: only one of them makes the certificate.
    QLockFile lock(directory.filePath(QStringLiteral("certificate.lock")));
    lock.setStaleLockTime(30000);
    if (!lock.tryLock(30000))
        return Result<ServiceCertificate>::failure(
            QStringLiteral("cannot lock the certificate in %1").arg(directoryPath));

    std::optional<PemPair> pem = readPemPair(directory);
    if (!pem || !isUsable(*pem, hostName, match)) {
        // A key that is still good is kept: the public key is what browsers pin, so a certificate remade
        // for another host or a later expiry leaves every pin valid.
        pem = createSelfSigned(hostName, pem ? readPrivateKey(pem->key) : KeyPointer());
        if (!pem)
            return Result<ServiceCertificate>::failure(QStringLiteral("cannot create a certificate"));
        if (!writePrivateFile(directory.filePath(keyFileName), pem->key)
            || !writePrivateFile(directory.filePath(certificateFileName), pem->certificate))
            return Result<ServiceCertificate>::failure(
                QStringLiteral("cannot write the certificate into %1").arg(directoryPath));
    }
    ServiceCertificate loaded { QSslCertificate(pem->certificate, QSsl::Pem), QSslKey(pem->key, QSsl::Ec) };
    if (loaded.certificate.isNull() || loaded.privateKey.isNull())
        return Result<ServiceCertificate>::failure(QStringLiteral("cannot load the certificate"));
    return Result<ServiceCertificate>::success(loaded);
}

QByteArray spkiSha256Base64(const QSslCertificate& certificate)
{
    // OpenSSL reads straight from the buffer it is given, so the PEM must live as long as the BIO.
    const QByteArray pem = certificate.toPem();
    const BioPointer bio = bioFrom(pem);
    const X509Pointer x509(PEM_read_bio_X509(bio.get(), nullptr, nullptr, nullptr));
    if (!x509)
        return {};
    unsigned char* der = nullptr;
    const int length = i2d_PUBKEY(X509_get0_pubkey(x509.get()), &der);
    if (length <= 0)
        return {};
    const QByteArray spki(reinterpret_cast<const char*>(der), length);
    OPENSSL_free(der);
    return sha256(spki).toBase64();
}
