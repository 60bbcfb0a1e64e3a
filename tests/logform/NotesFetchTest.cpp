#include "logform/NotesFetch.h"

#include <gtest/gtest.h>

#include <QVariantMap>

using namespace Qt::StringLiterals;

TEST(NotesFetch, AsksBesideTheFormForTheNotesAfterTheLastOneSeen)
{
    const QUrl form(u"https://Logs.Example.test:8443/index.php/logger/form"_s);
    EXPECT_EQ(NotesFetch::address(form, 0), QUrl(u"https://logs.example.test:8443/index.php/logger/notes.json"_s));
    EXPECT_EQ(NotesFetch::address(form, 41).toString(),
        u"https://logs.example.test:8443/index.php/logger/notes.json?since=41"_s);
    // The development server keeps the service under a folder of its own.
    EXPECT_EQ(NotesFetch::address(QUrl(u"http://localhost:8888/FernwrightLogger/index.php/logger/form#top"_s), 0),
        QUrl(u"http://localhost:8888/FernwrightLogger/index.php/logger/notes.json"_s));
}

TEST(NotesFetch, ThePollScriptCarriesItsAddressAndInterval)
{
    const QString script = NotesFetch::pollScript(
        QUrl(u"https://logs.example.test/index.php/logger/notes.json?since=3"_s), std::chrono::milliseconds(1000));
    EXPECT_TRUE(script.contains(u"\"https://logs.example.test/index.php/logger/notes.json?since=3\", 1000"_s))
        << script.toStdString();
}

TEST(NotesFetch, AnAnswerIsAStatusAndABody)
{
    EXPECT_FALSE(NotesFetch::answer(QVariant()));
    EXPECT_FALSE(NotesFetch::answer(QVariantMap { { u"body"_s, u"{}"_s } }));
    EXPECT_FALSE(NotesFetch::answer(QVariantMap { { u"status"_s, u"many"_s } }));
    const auto answer = NotesFetch::answer(QVariantMap { { u"status"_s, 200.0 }, { u"body"_s, u"{\"notes\":[]} ✓"_s } });
    ASSERT_TRUE(answer);
    EXPECT_EQ(answer->status, 200);
    EXPECT_EQ(answer->body, u"{\"notes\":[]} ✓"_s.toUtf8());
}

TEST(NotesFetch, TheStatusSaysWhetherThereAreNotesToShow)
{
    using Outcome = NotesFetch::Outcome;
    const std::pair<int, Outcome> cases[] = {
        { 200, Outcome::Notes },
        { 401, Outcome::SignedOut },
        { 403, Outcome::SignedOut },
        { 404, Outcome::NoRoute },
        { 410, Outcome::NoRoute },
        { 0, Outcome::Failed }, // unreachable, or a redirect to the sign-in page
        { 302, Outcome::Failed },
        { 500, Outcome::Failed },
        { 503, Outcome::Failed },
    };
    for (const auto& [status, outcome] : cases)
        EXPECT_EQ(NotesFetch::outcome(status), outcome) << status;
}
