#include "logservice/LogService.h"
#include "logservice/LogStore.h"

#include <gtest/gtest.h>

#include <QRegularExpression>
#include <QTemporaryDir>

namespace {

const QByteArray formPath = "/index.php/logger/form";
const QByteArray notesPath = "/index.php/logger/notes";
const QByteArray csvPath = "/index.php/logger/notes.csv";
const QByteArray formType = "application/x-www-form-urlencoded";

HttpRequest request(const QByteArray& method, const QByteArray& path, const QByteArray& cookies = {},
    const QByteArray& body = {}, const QByteArray& contentType = formType)
{
    HttpRequest request { method, path, {}, body };
    if (!cookies.isEmpty())
        request.headers.append({ "Cookie", cookies });
    if (!body.isEmpty())
        request.headers.append({ "Content-Type", contentType });
    return request;
}

// One store for the whole suite: creating accounts costs a password hash each.
class LogServicePages : public testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        directory = new QTemporaryDir;
        auto opened = LogStore::open(directory->path());
        ASSERT_TRUE(opened) << qPrintable(opened.error());
        store = opened->release();
        ASSERT_TRUE(store->setPassword(QStringLiteral("ann"), "ann's pw"));
        ASSERT_TRUE(store->setPassword(QStringLiteral("<b>bob</b>"), "bob's pw"));
    }

    static void TearDownTestSuite()
    {
        delete store;
        delete directory;
    }

    HttpResponse respond(const HttpRequest& request) { return service.respond(request); }

    // The session cookie to send back after signing in; empty when signing in failed.
    QByteArray signIn(const QByteArray& identity, const QByteArray& password)
    {
        const HttpResponse response
            = respond(request("POST", "/users/login", {}, "identity=" + identity + "&password=" + password));
        return response.header("Set-Cookie").split(';').first();
    }

    QByteArray csvOf(const QByteArray& session) { return respond(request("GET", csvPath, session)).body; }

    static inline QTemporaryDir* directory = nullptr;
    static inline LogStore* store = nullptr;
    QDateTime now = QDateTime::fromString(QStringLiteral("2024-05-01T14:08:10Z"), Qt::ISODate);
    LogService service { *store, [this] { return now; } };
};

TEST_F(LogServicePages, SignInPageHasTheElementsTheApplicationFills)
{
    const HttpResponse page = respond(request("GET", "/users/login"));
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
            const HttpResponse response = respond(request("GET", path, cookie));
            EXPECT_EQ(response.status, 303);
            EXPECT_EQ(response.header("Location"), "/users/login");
        }
        EXPECT_EQ(respond(request("POST", notesPath, cookie, "text=hello")).status, 401);
    }
}

TEST_F(LogServicePages, SignInSucceedsOnlyWithTheRightPassword)
{
    const HttpResponse wrong
        = respond(request("POST", "/users/login", {}, "identity=ann&password=bob%27s+pw"));
    EXPECT_EQ(wrong.status, 200);
    EXPECT_TRUE(wrong.header("Set-Cookie").isEmpty());
    EXPECT_TRUE(wrong.body.contains("not right"));
    EXPECT_TRUE(wrong.body.contains("value=\"ann\"")) << "the user name stays filled in";
    EXPECT_TRUE(respond(request("POST", "/users/login", {}, "identity=nobody&password=x"))
                    .header("Set-Cookie")
                    .isEmpty());

    const HttpResponse right
        = respond(request("POST", "/users/login", {}, "identity=ann&password=ann%27s+pw"));
    EXPECT_EQ(right.status, 303);
    EXPECT_EQ(right.header("Location"), formPath);
    const QByteArray cookie = right.header("Set-Cookie");
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^__Host-tapescribe_session=[A-Za-z0-9_-]{43}; "))
                    .match(QString::fromLatin1(cookie))
                    .hasMatch())
        << cookie.constData();
    for (const char* attribute : { "; Path=/", "; Secure", "; HttpOnly", "; SameSite=Lax" })
        EXPECT_TRUE(cookie.contains(attribute)) << attribute;

    const HttpResponse form = respond(request("GET", formPath, cookie.split(';').first()));
    EXPECT_EQ(form.status, 200);
    EXPECT_TRUE(form.body.contains("id=\"clip_clock\""));
    EXPECT_TRUE(form.body.contains(">ann</strong>"));
}

TEST_F(LogServicePages, SignInRefusesMalformedForms)
{
    EXPECT_EQ(respond(request("POST", "/users/login", {}, "identity=ann&password=%zz")).status, 400);
    EXPECT_EQ(respond(request("POST", "/users/login", {}, "identity=ann")).status, 400);
    EXPECT_EQ(
        respond(request("POST", "/users/login", {}, "identity=ann&password=x", "text/plain")).status, 415);
}

TEST_F(LogServicePages, UserNamesAreEscapedOnTheForm)
{
    const QByteArray session = signIn("%3Cb%3Ebob%3C%2Fb%3E", "bob%27s+pw");
    ASSERT_FALSE(session.isEmpty());
    const QByteArray form = respond(request("GET", formPath, session)).body;
    EXPECT_TRUE(form.contains("&lt;b&gt;bob&lt;/b&gt;"));
    EXPECT_FALSE(form.contains("<b>bob"));
}

TEST_F(LogServicePages, NotesCarryTheRecordingTimeOfTheirOwnRequest)
{
    const QByteArray session = signIn("ann", "ann%27s+pw");
    ASSERT_FALSE(session.isEmpty());
    const HttpResponse stored = respond(
        request("POST", notesPath, session + "; time_offset=91.0", "text=++Slate+%3Cone%3E%0Atake+2+"));
    EXPECT_EQ(stored.status, 200);
    EXPECT_TRUE(stored.body.startsWith("<div id=\"notes\">")) << "the page swaps in the new notes section";
    EXPECT_TRUE(stored.body.contains("Slate &lt;one&gt;\ntake 2</p>")) << "trimmed and escaped";

    now = now.addSecs(5);
    EXPECT_EQ(respond(request("POST", notesPath, "time_offset=-3.0; " + session, "text=ahead")).status, 200);
    now = now.addSecs(5);
    EXPECT_EQ(respond(request("POST", notesPath, session, "text=no+clip")).status, 200);
    now = now.addSecs(5);
    EXPECT_EQ(
        respond(request("POST", notesPath, session + "; time_offset=junk", "text=mangled")).status, 200);

    const QStringList rows = QString::fromUtf8(csvOf(session)).split(QStringLiteral("\r\n"));
    ASSERT_GE(rows.size(), 6);
    const auto recorded = [&](int row) {
        return QDateTime::fromString(rows.at(row).section(QLatin1Char(','), 0, 0), Qt::ISODate);
    };
    const QDateTime first = QDateTime::fromString(QStringLiteral("2024-05-01T14:08:10Z"), Qt::ISODate);
    EXPECT_TRUE(rows.at(1).endsWith(QStringLiteral(",mangled")));
    EXPECT_FALSE(recorded(1).isValid());
    EXPECT_TRUE(rows.at(2).endsWith(QStringLiteral(",no clip")));
    EXPECT_FALSE(recorded(2).isValid());
    EXPECT_EQ(recorded(3), first.addSecs(5 + 3));
    EXPECT_EQ(recorded(4), first.addSecs(-91));
}

TEST_F(LogServicePages, NotesMustHoldSomethingAndNotTooMuch)
{
    const QByteArray session = signIn("ann", "ann%27s+pw");
    ASSERT_FALSE(session.isEmpty());
    const QByteArray longest
        = "text=" + QByteArray("\xc3\xa9").toPercentEncoding().repeated(LogService::maximumNoteLength);
    EXPECT_EQ(respond(request("POST", notesPath, session, longest)).status, 200)
        << "4000 characters, 8000 bytes";
    EXPECT_EQ(respond(request("POST", notesPath, session, longest + "x")).status, 400);
    EXPECT_EQ(respond(request("POST", notesPath, session, "text=+%0A%09+")).status, 400);
    EXPECT_EQ(respond(request("POST", notesPath, session, "other=1")).status, 400);
    EXPECT_EQ(respond(request("POST", notesPath, session, "text=%E2%82")).status, 400);
    EXPECT_EQ(respond(request("POST", notesPath, session, "text=x", "multipart/form-data")).status, 415);
}

TEST_F(LogServicePages, EachLoggerSeesOnlyTheirOwnNotes)
{
    const QByteArray ann = signIn("ann", "ann%27s+pw");
    const QByteArray bob = signIn("%3Cb%3Ebob%3C%2Fb%3E", "bob%27s+pw");
    ASSERT_EQ(respond(request("POST", notesPath, bob, "text=bob+only")).status, 200);
    EXPECT_FALSE(csvOf(ann).contains("bob only"));
    EXPECT_FALSE(respond(request("GET", formPath, ann)).body.contains("bob only"));
    EXPECT_TRUE(csvOf(bob).contains("bob only"));
}

TEST_F(LogServicePages, SignOutEndsTheSessionOnTheServer)
{
    const QByteArray session = signIn("ann", "ann%27s+pw");
    ASSERT_FALSE(session.isEmpty());
    const HttpResponse out = respond(request("GET", "/index.php/users/logout", session));
    EXPECT_EQ(out.status, 303);
    EXPECT_EQ(out.header("Location"), "/users/login");
    EXPECT_TRUE(out.header("Set-Cookie").startsWith("__Host-tapescribe_session=;"));
    EXPECT_TRUE(out.header("Set-Cookie").contains("Max-Age=0"));
    EXPECT_EQ(respond(request("GET", formPath, session)).status, 303) << "the old cookie no longer signs in";
    EXPECT_EQ(respond(request("GET", "/index.php/users/logout")).status, 303) << "signed-out visitors too";
}

TEST_F(LogServicePages, ANewPasswordEndsTheAccountsSessions)
{
    ASSERT_TRUE(store->setPassword(QStringLiteral("carl"), "old"));
    const QByteArray session = signIn("carl", "old");
    ASSERT_EQ(respond(request("GET", formPath, session)).status, 200);
    ASSERT_TRUE(store->setPassword(QStringLiteral("carl"), "new"));
    EXPECT_EQ(respond(request("GET", formPath, session)).status, 303);
    EXPECT_TRUE(signIn("carl", "old").isEmpty());
    EXPECT_FALSE(signIn("carl", "new").isEmpty());
}

TEST_F(LogServicePages, SessionsExpireAfterThirtyDays)
{
    const QByteArray session = signIn("ann", "ann%27s+pw");
    now = now.addDays(30);
    EXPECT_EQ(respond(request("GET", formPath, session)).status, 200);
    now = now.addSecs(1);
    EXPECT_EQ(respond(request("GET", formPath, session)).status, 303);
}

TEST_F(LogServicePages, UnknownPathsAndWrongMethods)
{
    EXPECT_EQ(respond(request("GET", "/")).status, 404);
    EXPECT_EQ(respond(request("GET", "/users/login/")).status, 404);
    EXPECT_EQ(respond(request("GET", "/index.php/logger/form%2F")).status, 404);
    EXPECT_EQ(respond(request("GET", "/tapescribe.html")).status, 404)
        << "the maker's pages are not on this site";
    const HttpResponse wrong = respond(request("DELETE", formPath));
    EXPECT_EQ(wrong.status, 405);
    EXPECT_EQ(wrong.header("Allow"), "GET, HEAD");
    EXPECT_EQ(respond(request("GET", notesPath)).header("Allow"), "POST");
    EXPECT_EQ(respond(request("PUT", "/users/login")).header("Allow"), "GET, POST, HEAD");
}

}
