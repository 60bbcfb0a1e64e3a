#include "logservice/AccountInput.h"
#include "logservice/CommandLine.h"
#include "logservice/FormBody.h"
#include "logservice/RecordingTime.h"
#include "logservice/RequestCookies.h"

#include <gtest/gtest.h>

namespace {

TEST(FormBody, DecodesFieldsAndRefusesBrokenEscapesOrInvalidUtf8)
{
    const auto fields = parseFormBody("identity=ann+lee&password=p%26w%3D%C3%A9&&flag&identity=second");
    ASSERT_TRUE(fields);
    EXPECT_EQ(formField(*fields, QStringLiteral("identity")), QStringLiteral("ann lee"));
    EXPECT_EQ(formField(*fields, QStringLiteral("password")), QStringLiteral("p&w=\u00e9"));
    EXPECT_EQ(formField(*fields, QStringLiteral("flag")), QString());
    EXPECT_FALSE(formField(*fields, QStringLiteral("text")));
    EXPECT_TRUE(parseFormBody({}));
    for (const QByteArray body : { "text=%", "text=%4", "text=%g0", "text=%4z", "te%xt=1", "text=%ff" })
        EXPECT_FALSE(parseFormBody(body)) << body.constData();

    EXPECT_TRUE(isFormContentType("Application/X-WWW-Form-Urlencoded; charset=UTF-8"));
    EXPECT_FALSE(isFormContentType("multipart/form-data; boundary=x"));
    EXPECT_FALSE(isFormContentType({}));
}

TEST(RequestCookies, FindsTheNamedCookieOnly)
{
    const QByteArrayList headers { "xtime_offset=1.0; time_offset = 91.0 ;other=2", "time_offset=5.0" };
    EXPECT_EQ(cookieValue(headers, "time_offset"), QByteArray("91.0"));
    EXPECT_EQ(cookieValue({ "a=1", "time_offset=" }, "time_offset"), QByteArray());
    EXPECT_FALSE(cookieValue({ "time_offsets=1.0; =3" }, "time_offset"));
    EXPECT_FALSE(cookieValue({}, "time_offset"));
}

TEST(RecordingTime, SubtractsAWellFormedOffsetFromNowAndIgnoresAnyOtherText)
{
    const QDateTime now(QDate(2024, 5, 1), QTime(14, 8, 10), Qt::UTC);
    EXPECT_EQ(recordingTime(now, QByteArray("91.0")), now.addSecs(-91));
    EXPECT_EQ(recordingTime(now, QByteArray("-3.0")), now.addSecs(3));
    EXPECT_EQ(recordingTime(now, QByteArray("0.5")), now.addMSecs(-500));
    EXPECT_EQ(recordingTime(now, QByteArray("-0.0")), now);
    EXPECT_EQ(recordingTime(now, QByteArray("9999999999")), now.addSecs(-9999999999LL));
    EXPECT_FALSE(recordingTime(now, std::nullopt));
    for (const QByteArray value : { "", "-", "abc", "1e3", "NaN", "Infinity", " 91.0", "91.", ".5", "+5.0",
             "0x10", "12345678901", "1.0000000001", "91,0" })
        EXPECT_FALSE(recordingTime(now, value)) << value.constData();
}

// Every start of the service in the other tests reads "spki", "add-account" and "serve" with both ports.
TEST(CommandLine, ReadsServeWithItsOptionsAndDefaults)
{
    const auto full = parseCommandLine({ "serve", "--https-port", "0", "--data", "/d", "--http-port", "65535",
        "--host", "logs.example.test" });
    ASSERT_TRUE(full);
    EXPECT_EQ(std::get<ServeOptions>(*full).httpPort, 65535);
    EXPECT_EQ(std::get<ServeOptions>(*full).hostName, QStringLiteral("logs.example.test"));
    const auto plain = parseCommandLine({ "serve", "--data", "/d" });
    ASSERT_TRUE(plain);
    EXPECT_FALSE(std::get<ServeOptions>(*plain).httpPort);
    EXPECT_EQ(std::get<ServeOptions>(*plain).hostName, QStringLiteral("logs.tapescribe.test"));
}

TEST(CommandLine, RefusesBadUsage)
{
    const QList<QStringList> bad { {}, { "help" }, { "serve" }, { "serve", "--data" },
        { "serve", "--data", "" }, { "serve", "--data", "/d", "--https-port", "65536" },
        { "serve", "--data", "/d", "--http-port", "80x" }, { "serve", "--data", "/d", "--data", "/e" },
        { "serve", "--data", "/d", "extra" }, { "serve", "--data", "/d", "--host", "a.test,DNS:evil.test" },
        { "serve", "--data", "/d", "--host", "-a.test" }, { "serve", "--data", "/d", "--verbose", "1" },
        { "add-account", "--data", "/d" }, { "add-account", "--data", "/d", "ann", "bob" },
        { "add-account", "--data", "/d", "--password", "pw", "ann" },
        { "spki", "--data", "/d", "--host", "a.test" } };
    for (const QStringList& arguments : bad)
        EXPECT_FALSE(parseCommandLine(arguments)) << qPrintable(arguments.join(' '));
}

TEST(AccountInput, TakesTheWholeInputLessOneLineEndAndNamesUnusableAccounts)
{
    EXPECT_EQ(passwordFromInput("secret\r\n"), QByteArray("secret"));
    EXPECT_EQ(passwordFromInput("two words \n\n"), QByteArray("two words \n"));
    EXPECT_EQ(passwordFromInput(" secret"), QByteArray(" secret"));
    EXPECT_EQ(passwordFromInput("\n"), QByteArray());
    EXPECT_FALSE(passwordProblem("p\xc3\xa4ss word"));
    EXPECT_TRUE(passwordProblem({}));
    EXPECT_TRUE(passwordProblem("\xff\xfe"));

    for (const QString& name : { QStringLiteral("ann.lee@example.test"), QStringLiteral("Zoë Ågren"),
             QString(200, QLatin1Char('a')) })
        EXPECT_FALSE(accountNameProblem(name)) << qPrintable(name);
    for (const QString& name : { QString(), QStringLiteral(" ann"), QStringLiteral("ann\n"),
             QStringLiteral("a\u0007b"), QString(201, QLatin1Char('a')) })
        EXPECT_TRUE(accountNameProblem(name)) << qPrintable(name);
}

}
