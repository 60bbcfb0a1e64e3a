#pragma once

#include "logservice/Result.h"

#include <QSslCertificate>
#include <QSslKey>

struct ServiceCertificate
{
    QSslCertificate certificate;
    QSslKey privateKey;
};

enum class HostMatch {
    Required, // a certificate that does not name the host is remade for it
    Any, // any usable certificate will do; a new one is made for the host
};

// The service's certificate and key from `directory`, made there first (self-signed, for `hostName`,
// localhost and 127.0.0.1; both files readable by the owner only) when none is usable: missing, unreadable,
// not matching its key, about to expire, or, with HostMatch::Required, made for another host. A usable key
// is kept when only the certificate is remade.
Result<ServiceCertificate> loadOrCreateServiceCertificate(
    const QString& directory, const QString& hostName, HostMatch match = HostMatch::Required);

// base64 of the SHA-256 of the certificate's SubjectPublicKeyInfo: what Chromium's
// --ignore-certificate-errors-spki-list takes to accept exactly this certificate.
QByteArray spkiSha256Base64(const QSslCertificate& certificate);
