#include "clips/ClipFixtures.h"
#include "support/LogServiceProcess.h"
#include "support/TestApplication.h"
#include "support/WebEngineView.h"

#include "logform/LogServiceAddress.h"

#include "core/BuildConfig.h"

#include <gtest/gtest.h>

#include <QMainWindow>
#include <QNetworkCookie>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QWebEngineCookieStore>
#include <QWebEngineProfile>

using namespace Qt::StringLiterals;

namespace {

constexpr int pageLimit = 60'000;

// The value the service saw in the request for `path`, or nothing when that request has not come.
std::optional<QString> timeOffsetSent(const LogServiceProcess& service, const QString& path)
{
    const QString prefix = u"request GET %1 time_offset="_s.arg(path);
    for (const QString& line : service.requestLines())
        if (line.startsWith(prefix))
            return line.mid(prefix.size());
    return std::nullopt;
}

// One service for the whole binary: the web engine reads its flags once, when its first object is made.
TEST(ClockCookie, ReachesTheLogServiceHostAndNoOtherHost)
{
    LogServiceProcess service;
    ASSERT_TRUE(service.start());
    const QString host = QString::fromLatin1(BuildConfig::logServiceHost);
    const QString subdomain = u"clips."_s + host;
    const QString port = QString::number(service.httpsPort());
    // The host as an organisation may write it: capitals and a port.
    const QString writtenHost = host.toUpper() + u':' + port;
    qputenv("QTWEBENGINE_CHROMIUM_FLAGS",
        QStringLiteral("\"--host-resolver-rules=MAP %1 127.0.0.1:%3, MAP %2 127.0.0.1:%3\" "
                       "--ignore-certificate-errors-spki-list=%4")
            .arg(host, subdomain, port, service.spki())
            .toUtf8());

    QTemporaryDir folder;
    ClipFixtures::copy(ClipFixtures::Kind::LongMp4, folder.filePath(u"A001C001.MP4"_s));
    // Declared before the application: cookie notices still queued when the delegate takes the profile
    // down must find the list alive.
    QStringList valuesSet;
    TestApplication application(writtenHost);
    AppDelegate& delegate = application.delegate;
    application.awake();
    application.window()->show();
    QObject::connect(webEngineView(delegate)->page()->profile()->cookieStore(),
        &QWebEngineCookieStore::cookieAdded, &delegate, [&](const QNetworkCookie& cookie) {
            if (cookie.name() == "time_offset")
                valuesSet.append(QString::fromLatin1(cookie.value()));
        });
    // The log form's first request goes out before any clip is loaded: no clock yet.
    ASSERT_TRUE(service.waitForRequest(u"request GET /index.php/logger/form"_s, pageLimit));
    EXPECT_EQ(timeOffsetSent(service, u"/index.php/logger/form"_s), u"-"_s);

    delegate.runOpenPanel = [&](const QStringList&) { return std::optional<QString>(folder.path()); };
    delegate.showOpenPanel();
    ASSERT_EQ(delegate.loadedAssetIndex, 0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !valuesSet.isEmpty(); }, pageLimit));

    delegate.loadInWebView(LogServiceAddress::page(writtenHost, u"/clock-check"_s));
    ASSERT_TRUE(service.waitForRequest(u"request GET /clock-check "_s, pageLimit));
    const auto sent = timeOffsetSent(service, u"/clock-check"_s);
    ASSERT_TRUE(sent);
    EXPECT_TRUE(QRegularExpression(u"^-?[0-9]+\\.0$"_s).match(*sent).hasMatch()) << sent->toStdString();
    // The store reports each value it took a little later: wait for the one that was sent.
    EXPECT_TRUE(QTest::qWaitFor([&] { return valuesSet.contains(*sent); }, pageLimit))
        << sent->toStdString() << " not in " << valuesSet.join(u' ').toStdString();

    // A subdomain of the log service's host is another host: the cookie stays home.
    delegate.loadInWebView(LogServiceAddress::page(subdomain, u"/other-host-check"_s));
    ASSERT_TRUE(service.waitForRequest(u"request GET /other-host-check "_s, pageLimit));
    EXPECT_EQ(timeOffsetSent(service, u"/other-host-check"_s), u"-"_s);
}

}
