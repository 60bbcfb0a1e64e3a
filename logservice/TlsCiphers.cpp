#include "logservice/TlsCiphers.h"

#include <QSslConfiguration>

#include <algorithm>

namespace {

bool isOffered(const QSslCipher& cipher)
{
    if (cipher.protocol() == QSsl::TlsV1_3)
        return true;
    if (cipher.protocol() != QSsl::TlsV1_2 || cipher.keyExchangeMethod() != u"ECDH")
        return false;
    const QString encryption = cipher.encryptionMethod();
    return encryption.startsWith(u"AESGCM(") || encryption.startsWith(u"CHACHA20/POLY1305(");
}

}

QList<QSslCipher> serviceCiphers(const QList<QSslCipher>& supported)
{
    QList<QSslCipher> offered;
    std::copy_if(supported.begin(), supported.end(), std::back_inserter(offered), isOffered);
    return offered;
}

bool restrictDefaultCiphers()
{
    QSslConfiguration configuration = QSslConfiguration::defaultConfiguration();
    const QList<QSslCipher> offered = serviceCiphers(configuration.ciphers());
    if (offered.isEmpty())
        return false;
    configuration.setCiphers(offered);
    QSslConfiguration::setDefaultConfiguration(configuration);
    return true;
}
