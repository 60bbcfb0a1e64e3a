#include "logservice/ServiceCertificate.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

namespace {

QStringList dnsNames(const ServiceCertificate& certificate)
{
    return certificate.certificate.subjectAlternativeNames().values(QSsl::DnsEntry);
}

// The pinned public key is what the application trusts, so a certificate remade for another host must keep
// it; a certificate that already names the host is not remade at all.
TEST(ServiceCertificate, IsRemadeOnTheSameKeyWhenTheHostChanges)
{
    QTemporaryDir directory;
    const auto first = loadOrCreateServiceCertificate(directory.path(), QStringLiteral("a.test"));
    ASSERT_TRUE(first) << qPrintable(first.error());
    EXPECT_TRUE(dnsNames(*first).contains(QStringLiteral("a.test")));
    EXPECT_TRUE(dnsNames(*first).contains(QStringLiteral("localhost")));
    const QByteArray pin = spkiSha256Base64(first->certificate);
    EXPECT_EQ(QByteArray::fromBase64(pin).size(), 32);

    const auto again = loadOrCreateServiceCertificate(directory.path(), QStringLiteral("A.TEST"));
    ASSERT_TRUE(again);
    EXPECT_EQ(again->certificate, first->certificate) << "host names compare without case";

    const auto moved = loadOrCreateServiceCertificate(directory.path(), QStringLiteral("b.test"));
    ASSERT_TRUE(moved);
    EXPECT_NE(moved->certificate, first->certificate);
    EXPECT_TRUE(dnsNames(*moved).contains(QStringLiteral("b.test")));
    EXPECT_FALSE(dnsNames(*moved).contains(QStringLiteral("a.test")));
    EXPECT_EQ(spkiSha256Base64(moved->certificate), pin);

    const auto any
        = loadOrCreateServiceCertificate(directory.path(), QStringLiteral("c.test"), HostMatch::Any);
    ASSERT_TRUE(any);
    EXPECT_EQ(any->certificate, moved->certificate) << "spki takes whatever certificate the service has";
}

}
