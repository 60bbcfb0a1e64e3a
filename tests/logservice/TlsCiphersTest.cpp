#include "logservice/TlsCiphers.h"

#include <gtest/gtest.h>

#include <QSslConfiguration>

namespace {

TEST(TlsCiphers, OffersTls13AndOnlyForwardSecretAeadSuitesOfTls12)
{
    QStringList offered;
    for (const QSslCipher& cipher : serviceCiphers(QSslConfiguration::supportedCiphers()))
        offered.append(cipher.name());
    for (const char* name : { "TLS_AES_128_GCM_SHA256", "TLS_AES_256_GCM_SHA384",
             "TLS_CHACHA20_POLY1305_SHA256", "ECDHE-ECDSA-AES128-GCM-SHA256", "ECDHE-ECDSA-AES256-GCM-SHA384",
             "ECDHE-ECDSA-CHACHA20-POLY1305", "ECDHE-RSA-AES128-GCM-SHA256", "ECDHE-RSA-CHACHA20-POLY1305" })
        EXPECT_TRUE(offered.contains(QLatin1String(name))) << name;
    for (const char* name : { "ECDHE-ECDSA-AES128-SHA", "ECDHE-ECDSA-AES256-SHA384",
             "ECDHE-RSA-AES128-SHA256", "AES128-GCM-SHA256", "AES128-SHA", "DHE-RSA-AES128-GCM-SHA256",
             "DHE-RSA-CHACHA20-POLY1305", "ECDHE-PSK-CHACHA20-POLY1305", "PSK-AES128-GCM-SHA256" })
        EXPECT_FALSE(offered.contains(QLatin1String(name))) << name;
    EXPECT_TRUE(serviceCiphers({}).isEmpty());
}

}
