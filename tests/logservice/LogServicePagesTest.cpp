#include "logservice/LogService.h"
#include "logservice/LogStore.h"
#include "logservice/PasswordChecks.h"
#include "logservice/Secrets.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <QTest>

#include <tuple>

namespace {

const QByteArray signInPath = "/users/login";
const QByteArray formPath = "/index.php/logger/form";
const QByteArray notesPath = "/index.php/logger/notes";
const QByteArray csvPath = "/index.php/logger/notes.csv";
const QByteArray formType = "application/x-www-form-urlencoded";

// One store for the whole suite: creating accounts costs a password hash each.
class LogServicePages : public testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        auto opened = LogStore::open(directory.path());
        ASSERT_TRUE(opened) << qPrintable(opened.error());
        store = std::move(*opened);
        ASSERT_TRUE(store->setPassword(QStringLiteral("ann"), "ann's pw"));
        ASSERT_TRUE(store->setPassword(QStringLiteral("<b>bob</b>"), "bob's pw"));
    }
    static void TearDownTestSuite() { store.reset(); }

    HttpResponse respond(const QByteArray& method, const QByteArray& path, const QByteArray& cookies = {},
        const QByteArray& body = {}, const QByteArray& contentType = formType)
    {
        HttpRequest request { method, path, {}, body, {} };
        if (!cookies.isEmpty())
            request.headers.append({ "Cookie", cookies });
        if (!body.isEmpty())
            request.headers.append({ "Content-Type", contentType });
        // Stands for the client while it waits; a sign-in answers once its password has been checked.
        QObject client;
        std::optional<HttpResponse> answer;
        service.respond(
            request, HttpReply(&client, [&](const HttpResponse& response) { answer = response; }));
        EXPECT_TRUE(QTest::qWaitFor([&] { return answer.has_value(); }, 30000)) << path.constData();
        return answer.value_or(HttpResponse { 0, {}, {} });
    }

    // The session cookie to send back after signing in; empty when signing in failed.
    QByteArray signIn(const QByteArray& identity, const QByteArray& password)
    {
        return respond("POST", signInPath, {}, "identity=" + identity + "&password=" + password)
            .header("Set-Cookie")
            .split(';')
            .first();
    }

    static inline QTemporaryDir directory;
    static inline std::unique_ptr<LogStore> store;
    const QDateTime start = QDateTime::fromString(QStringLiteral("2024-05-01T14:08:10Z"), Qt::ISODate);
    QDateTime now = start;
    PasswordChecks passwordChecks { passwordMatches, [this] { return now.toMSecsSinceEpoch(); } };
    LogService service { *store, passwordChecks, [this] { return now; } };
};

TEST_F(LogServicePages, SignInPageHasTheElementsTheApplicationFills)
{
    const HttpResponse page = respond("GET", signInPath);
    EXPECT_EQ(page.status, 200);
    EXPECT_TRUE(page.header("Content-Type").startsWith("text/html"));
    for (const char* element :
        { "id=\"sign_in\"", "id=\"identity\" name=\"identity\"", "id=\"password\" name=\"password\"" })
        EXPECT_TRUE(page.body.contains(element)) << element;
}

TEST_F(LogServicePages, SignedOutVisitorsAreSentToSignIn)
{
    for (const QByteArray& cookie : { QByteArray(), QByteArray("__Host-tapescribe_session=forged"),
             QByteArray("__Host-tapescribe_session=") }) {
        for (const QByteArray& path : { formPath, csvPath }) {
            const HttpResponse response = respond("GET", path, cookie);
            EXPECT_EQ(response.status, 303);
            EXPECT_EQ(response.header("Location"), signInPath);
        }
        EXPECT_EQ(respond("POST", notesPath, cookie, "text=hello").status, 401);
    }
}

TEST_F(LogServicePages, SignInSucceedsOnlyWithTheRightPassword)
{
    const HttpResponse wrong = respond("POST", signInPath, {}, "identity=ann&password=bob%27s+pw");
    EXPECT_EQ(wrong.status, 200);
    EXPECT_TRUE(wrong.header("Set-Cookie").isEmpty());
    EXPECT_TRUE(wrong.body.contains("not right"));
    EXPECT_TRUE(wrong.body.contains("value=\"ann\"")) << "the user name stays filled in";
    EXPECT_TRUE(signIn("nobody", "x").isEmpty());

    const HttpResponse right = respond("POST", signInPath, {}, "identity=ann&password=ann%27s+pw");
    EXPECT_EQ(right.status, 303);
    EXPECT_EQ(right.header("Location"), formPath);
    const QByteArray cookie = right.header("Set-Cookie");
    EXPECT_THAT(cookie.toStdString(),
        testing::MatchesRegex(
            "__Host-tapescribe_session=[A-Za-z0-9_-]{43}; Path=/; Secure; HttpOnly; SameSite=Lax"));

    const HttpResponse form = respond("GET", formPath, cookie.split(';').first());
    EXPECT_EQ(form.status, 200);
    EXPECT_TRUE(form.body.contains("id=\"clip_clock\""));
    EXPECT_TRUE(form.body.contains(">ann</strong>"));
}

TEST_F(LogServicePages, RefusesMalformedFormsAndNotesOutOfBounds)
{
    const QByteArray session = signIn("ann", "ann%27s+pw");
    const QByteArray longest
        = "text=" + QByteArray("\xc3\xa9").toPercentEncoding().repeated(LogService::maximumNoteLength);
    EXPECT_EQ(respond("POST", notesPath, session, longest).status, 200) << "4000 characters, 8000 bytes";

    const std::tuple<QByteArray, QByteArray, QByteArray, int> refused[] {
        { signInPath, "identity=ann", formType, 400 },
        { signInPath, "identity=ann&password=x", "text/plain", 415 },
        { notesPath, longest + "x", formType, 400 },
        { notesPath, "text=+%0A%09+", formType, 400 },
        { notesPath, "other=1", formType, 400 },
    };
    for (const auto& [path, body, contentType, status] : refused)
        EXPECT_EQ(respond("POST", path, session, body, contentType).status, status) << body.left(40).data();
}

TEST_F(LogServicePages, NotesCarryTheRecordingTimeOfTheirOwnRequest)
{
    const QByteArray session = signIn("ann", "ann%27s+pw");
    const HttpResponse stored
        = respond("POST", notesPath, session + "; time_offset=91.0", "text=++Slate+%3Cone%3E%0Atake+2+");
    EXPECT_EQ(stored.status, 200);
    EXPECT_TRUE(stored.body.startsWith("<div id=\"notes\">")) << "the page swaps in the new notes section";
    EXPECT_TRUE(stored.body.contains("Slate &lt;one&gt;\ntake 2</p>")) << "trimmed and escaped";
    now = now.addSecs(5);
    EXPECT_EQ(respond("POST", notesPath, "time_offset=-3.0; " + session, "text=ahead").status, 200);
    now = now.addSecs(5);
    EXPECT_EQ(respond("POST", notesPath, session, "text=no+clip").status, 200);

    const HttpResponse csv = respond("GET", csvPath, session);
    EXPECT_TRUE(csv.header("Content-Disposition").startsWith("attachment"));
    const QStringList rows = QString::fromUtf8(csv.body).split(QStringLiteral("\r\n"));
    // The recording time of the newest note with the text; the suite's other notes share the store.
    const auto recorded = [&](const QString& text) -> std::optional<QDateTime> {
        for (const QString& row : rows) {
            if (row.endsWith(QLatin1Char(',') + text))
                return QDateTime::fromString(row.section(QLatin1Char(','), 0, 0), Qt::ISODate);
        }
        return std::nullopt;
    };
    EXPECT_EQ(recorded(QStringLiteral("\"Slate <one>\ntake 2\"")), start.addSecs(-91));
    EXPECT_EQ(recorded(QStringLiteral("ahead")), start.addSecs(5 + 3));
    EXPECT_EQ(recorded(QStringLiteral("no clip")), QDateTime());
}

TEST_F(LogServicePages, EachLoggerSeesOnlyTheirOwnNotesUnderTheirEscapedName)
{
    const QByteArray ann = signIn("ann", "ann%27s+pw");
    const QByteArray bob = signIn("%3Cb%3Ebob%3C%2Fb%3E", "bob%27s+pw");
    ASSERT_EQ(respond("POST", notesPath, bob, "text=bob+only").status, 200);
    EXPECT_FALSE(respond("GET", csvPath, ann).body.contains("bob only"));
    EXPECT_FALSE(respond("GET", formPath, ann).body.contains("bob only"));
    EXPECT_TRUE(respond("GET", csvPath, bob).body.contains("bob only"));

    const QByteArray bobsForm = respond("GET", formPath, bob).body;
    EXPECT_TRUE(bobsForm.contains("&lt;b&gt;bob&lt;/b&gt;"));
    EXPECT_FALSE(bobsForm.contains("<b>bob"));
}

TEST_F(LogServicePages, SessionsEndOnSignOutANewPasswordOrAfterThirtyDays)
{
    const QByteArray session = signIn("ann", "ann%27s+pw");
    const HttpResponse out = respond("GET", "/index.php/users/logout", session);
    EXPECT_EQ(out.status, 303);
    EXPECT_EQ(out.header("Location"), signInPath);
    EXPECT_TRUE(out.header("Set-Cookie").startsWith("__Host-tapescribe_session=;"));
    EXPECT_TRUE(out.header("Set-Cookie").contains("Max-Age=0"));
    EXPECT_EQ(respond("GET", formPath, session).status, 303) << "the old cookie no longer signs in";
    EXPECT_EQ(respond("GET", "/index.php/users/logout").status, 303) << "signed-out visitors too";

    ASSERT_TRUE(store->setPassword(QStringLiteral("carl"), "old"));
    const QByteArray replaced = signIn("carl", "old");
    ASSERT_EQ(respond("GET", formPath, replaced).status, 200);
    ASSERT_TRUE(store->setPassword(QStringLiteral("carl"), "new"));
    EXPECT_EQ(respond("GET", formPath, replaced).status, 303);
    EXPECT_TRUE(signIn("carl", "old").isEmpty());

    const QByteArray expiring = signIn("carl", "new");
    now = now.addDays(30);
    EXPECT_EQ(respond("GET", formPath, expiring).status, 200);
    now = now.addSecs(1);
    EXPECT_EQ(respond("GET", formPath, expiring).status, 303);
}

TEST_F(LogServicePages, UnknownPathsAndWrongMethods)
{
    for (const QByteArray path : { "/users/login/", "/index.php/logger/form%2F", "/tapescribe.html" })
        EXPECT_EQ(respond("GET", path).status, 404) << path.constData();
    const HttpResponse wrong = respond("DELETE", formPath);
    EXPECT_EQ(wrong.status, 405);
    EXPECT_EQ(wrong.header("Allow"), "GET, HEAD");
    EXPECT_EQ(respond("GET", notesPath).header("Allow"), "POST");
    EXPECT_EQ(respond("PUT", signInPath).header("Allow"), "GET, POST, HEAD");
}

}
