#pragma once

#include "logservice/Result.h"

#include <QSslCertificate>
#include <QSslKey>

struct ServiceCertificate
{
    QSslCertificate certificate;
    QSslKey privateKey;
};

// The service's certificate and key from `directory`, made there first (self-signed, for `hostName`,
// localhost and 127.0.0.1; both files readable by the owner only) when none is usable: missing, unreadable,
// not matching its key, or about to expire.
Result<ServiceCertificate> loadOrCreateServiceCertificate(const QString& directory, const QString& hostName);

// base64 of the SHA-256 of the certificate's SubjectPublicKeyInfo: what Chromium's
// --ignore-certificate-errors-spki-list takes to accept exactly this certificate.
QByteArray spkiSha256Base64(const QSslCertificate& certificate);
