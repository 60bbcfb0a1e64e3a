#include "logservice/LogService.h"
#include "logservice/LogStore.h"
#include "logservice/PasswordChecks.h"
#include "logservice/Secrets.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include <tuple>

namespace {

const QByteArray signInPath = "/users/login";
const QByteArray formPath = "/index.php/logger/form";
const QByteArray notesPath = "/index.php/logger/notes";
const QByteArray csvPath = "/index.php/logger/notes.csv";
const QByteArray jsonPath = "/index.php/logger/notes.json";
const QByteArray signOutPath = "/index.php/users/logout";
// What Chromium sends when the program itself loads a page into its web view.
const HttpHeaders programsOwnLoad { { "Sec-Fetch-Site", "none" } };
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
        const QByteArray& body = {}, const QByteArray& contentType = formType,
        const HttpHeaders& headers = {})
    {
        const qsizetype question = path.indexOf('?');
        HttpRequest request { method, question < 0 ? path : path.left(question), headers, body, {} };
        if (question >= 0)
            request.query = path.mid(question + 1);
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
    const HttpResponse out = respond("GET", signOutPath, session, {}, {}, programsOwnLoad);
    EXPECT_EQ(out.status, 303);
    EXPECT_EQ(out.header("Location"), signInPath);
    EXPECT_TRUE(out.header("Set-Cookie").startsWith("__Host-tapescribe_session=;"));
    EXPECT_TRUE(out.header("Set-Cookie").contains("Max-Age=0"));
    EXPECT_EQ(respond("GET", formPath, session).status, 303) << "the old cookie no longer signs in";
    EXPECT_EQ(respond("GET", signOutPath, {}, {}, {}, programsOwnLoad).status, 303)
        << "signed-out visitors too";

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

// The notes of a JSON answer; fails the test when the body is not the notes feed.
QJsonArray feedNotes(const HttpResponse& response)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(response.body, &error);
    EXPECT_EQ(error.error, QJsonParseError::NoError) << response.body.left(80).constData();
    EXPECT_TRUE(document.object().value(QStringLiteral("notes")).isArray())
        << response.body.left(80).constData();
    return document.object().value(QStringLiteral("notes")).toArray();
}

QList<qint64> noteIds(const QJsonArray& notes)
{
    QList<qint64> ids;
    for (const QJsonValue& note : notes)
        ids.append(note.toObject().value(QStringLiteral("id")).toInteger());
    return ids;
}

TEST_F(LogServicePages, TheProgramReadsTheNotesAsJsonInTheOrderStored)
{
    ASSERT_TRUE(store->setPassword(QStringLiteral("dora"), "dora's pw"));
    for (const QByteArray& cookie : { QByteArray(), QByteArray("__Host-tapescribe_session=forged") }) {
        const HttpResponse signedOut = respond("GET", jsonPath, cookie);
        EXPECT_EQ(signedOut.status, 401);
        EXPECT_EQ(signedOut.header("Content-Type"), "application/json; charset=utf-8");
        EXPECT_EQ(signedOut.body, "{\"error\":\"signed out\"}");
        EXPECT_TRUE(signedOut.header("Location").isEmpty())
            << "no way to the sign-in page: a reader is no browser";
    }
    const QByteArray session = signIn("dora", "dora%27s+pw");
    EXPECT_EQ(respond("GET", jsonPath, session).body, "{\"notes\":[]}");

    const QString special = QStringLiteral(
        "\"Quoted\" <b>bold</b> & more\tafter a tab\nnext line \U0001F3AC \u05E9\u05DC\u05D5\u05DD "
        "\u0645\u0631\u062D\u0628\u0627 \\ 'single'");
    ASSERT_EQ(
        respond("POST", notesPath, session + "; time_offset=91.0", "text=" + QUrl::toPercentEncoding(special))
            .status,
        200);
    now = now.addSecs(7);
    ASSERT_EQ(respond("POST", notesPath, session, "text=no+clip").status, 200);
    now = now.addMSecs(1250);
    ASSERT_EQ(respond("POST", notesPath, "time_offset=-3.0; " + session, "text=third").status, 200);

    const HttpResponse all = respond("GET", jsonPath, session);
    EXPECT_EQ(all.status, 200);
    EXPECT_EQ(all.header("Content-Type"), "application/json; charset=utf-8");
    EXPECT_EQ(all.header("Cache-Control"), "no-store");
    const QJsonArray notes = feedNotes(all);
    ASSERT_EQ(notes.size(), 3);
    const QList<qint64> ids = noteIds(notes);
    EXPECT_TRUE(ids[0] > 0 && ids[0] < ids[1] && ids[1] < ids[2]) << ids[0] << " " << ids[1] << " " << ids[2];
    const auto field
        = [&](int note, const char* name) { return notes.at(note).toObject().value(QLatin1String(name)); };
    const auto moment = [&](int note, const char* name) {
        return QDateTime::fromString(field(note, name).toString(), Qt::ISODateWithMs);
    };
    EXPECT_EQ(field(0, "text").toString(), special);
    EXPECT_EQ(moment(0, "recorded_at"), start.addSecs(-91));
    EXPECT_EQ(moment(0, "written_at"), start);
    EXPECT_TRUE(field(1, "recorded_at").isNull()) << "written without a clip";
    EXPECT_EQ(field(1, "text").toString(), QStringLiteral("no clip"));
    EXPECT_EQ(moment(2, "written_at"), start.addMSecs(8250));
    EXPECT_EQ(moment(2, "recorded_at"), start.addMSecs(11250));
    EXPECT_TRUE(field(2, "written_at").toString().contains(QLatin1String(":18.250"))) << "milliseconds kept";

    const std::tuple<QByteArray, QList<qint64>> since[] {
        { "?since=0", ids },
        { "?since=" + QByteArray::number(ids[0]), ids.mid(1) },
        { "?since=" + QByteArray::number(ids[1]) + "&other=1", ids.mid(2) },
        { "?since=" + QByteArray::number(ids[2]), {} },
        { "?since=" + QByteArray::number(ids[0] - 1), ids },
        { "?since=99999999999999999999999", {} },
    };
    for (const auto& [query, expected] : since) {
        const HttpResponse answer = respond("GET", jsonPath + query, session);
        EXPECT_EQ(answer.status, 200) << query.constData();
        EXPECT_EQ(noteIds(feedNotes(answer)), expected) << query.constData();
    }
    for (const QByteArray query : { "?since=-1", "?since=", "?since=abc", "?since=1.0", "?since=%2B1",
             "?since=1&since=2", "?since=%zz" }) {
        const HttpResponse refused = respond("GET", jsonPath + query, session);
        EXPECT_EQ(refused.status, 400) << query.constData();
        EXPECT_EQ(refused.header("Content-Type"), "application/json; charset=utf-8") << query.constData();
    }

    const QByteArray bob = signIn("%3Cb%3Ebob%3C%2Fb%3E", "bob%27s+pw");
    for (const QJsonValue& note : feedNotes(respond("GET", jsonPath, bob)))
        EXPECT_FALSE(ids.contains(note.toObject().value(QStringLiteral("id")).toInteger())) << "dora's note";
}

TEST_F(LogServicePages, ChangesAreTakenOnlyFromTheServicesOwnPages)
{
    ASSERT_TRUE(store->setPassword(QStringLiteral("erin"), "erin's pw"));
    const QByteArray signInForm = "identity=erin&password=erin%27s+pw";
    const QByteArray session = signIn("erin", "erin%27s+pw");
    const HttpHeaders elsewhere[] {
        { { "Host", "logs.tapescribe.test" }, { "Origin", "https://evil.example" } },
        { { "Host", "logs.tapescribe.test" }, { "Origin", "https://www.tapescribe.test" },
            { "Sec-Fetch-Site", "same-site" } },
        { { "Sec-Fetch-Site", "cross-site" } },
        { { "Host", "logs.tapescribe.test" }, { "Origin", "null" }, { "Sec-Fetch-Site", "cross-site" } },
    };
    for (const HttpHeaders& headers : elsewhere) {
        const QByteArray shown = headers.last().first + ": " + headers.last().second;
        const HttpResponse signInAnswer = respond("POST", signInPath, {}, signInForm, formType, headers);
        EXPECT_EQ(signInAnswer.status, 403) << shown.constData();
        EXPECT_TRUE(signInAnswer.header("Set-Cookie").isEmpty()) << shown.constData();
        EXPECT_EQ(respond("POST", notesPath, session, "text=forged", formType, headers).status, 403)
            << shown.constData();
        EXPECT_EQ(respond("POST", signOutPath, session, {}, {}, headers).status, 403) << shown.constData();
        const HttpResponse linked = respond("GET", signOutPath, session, {}, {}, headers);
        EXPECT_EQ(linked.status, 200) << shown.constData();
        EXPECT_TRUE(linked.body.contains(
            "<form id=\"sign_out\" class=\"panel\" method=\"post\" action=\"/index.php/users/logout\">"))
            << "the question, with the form that signs out";
        EXPECT_TRUE(linked.header("Set-Cookie").isEmpty()) << shown.constData();
    }
    EXPECT_EQ(respond("GET", signOutPath, session).status, 200) << "a browser that says nothing is asked too";
    EXPECT_EQ(respond("GET", formPath, session).status, 200) << "still signed in";
    EXPECT_FALSE(respond("GET", jsonPath, session).body.contains("forged"));

    const HttpHeaders ownPage { { "Host", "logs.tapescribe.test" },
        { "Origin", "https://logs.tapescribe.test" }, { "Sec-Fetch-Site", "same-origin" } };
    EXPECT_EQ(respond("POST", notesPath, session, "text=from+the+form", formType, ownPage).status, 200);
    EXPECT_EQ(respond("POST", notesPath, session, "text=no+browser").status, 200)
        << "a client that is no browser";
    EXPECT_EQ(respond("POST", signInPath, {}, signInForm, formType, ownPage).status, 303);
    const HttpResponse out = respond("POST", signOutPath, session, {}, {}, ownPage);
    EXPECT_EQ(out.status, 303);
    EXPECT_TRUE(out.header("Set-Cookie").contains("Max-Age=0"));
    EXPECT_EQ(respond("GET", formPath, session).status, 303) << "signed out by the posted form";

    const QByteArray again = signIn("erin", "erin%27s+pw");
    EXPECT_EQ(respond("GET", signOutPath, again, {}, {}, { { "Sec-Fetch-Site", "same-origin" } }).status, 303)
        << "the log form's own link signs out at once";
    EXPECT_EQ(respond("GET", formPath, again).status, 303);
}

}
