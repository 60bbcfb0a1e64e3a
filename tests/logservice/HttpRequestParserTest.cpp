#include "logservice/HttpRequestParser.h"

#include <gtest/gtest.h>

#include <tuple>

namespace {

constexpr qsizetype headerLimit = 16 * 1024;
constexpr qsizetype bodyLimit = 64 * 1024;

HttpRequestParser::Outcome parseAll(const QByteArray& bytes)
{
    HttpRequestParser parser(headerLimit, bodyLimit);
    parser.append(bytes);
    return parser.next();
}

int refusedStatus(const HttpRequestParser::Outcome& outcome)
{
    const auto* refusal = std::get_if<RequestRefusal>(&outcome);
    return refusal ? refusal->status : 0;
}

// A head of exactly `size` bytes, blank line included.
QByteArray headOfSize(qsizetype size)
{
    const QByteArray start = "GET / HTTP/1.1\r\nX-Filler: ";
    return start + QByteArray(size - start.size() - 4, 'a') + "\r\n\r\n";
}

TEST(HttpRequestParser, ReadsRequestsWhateverPiecesTheyArriveIn)
{
    const QByteArray bytes = "\r\nPOST /users/login?next=%2F HTTP/1.1\r\nHost: x\r\nCookie:  a=1 \r\n"
                             "Content-Length: 5\r\n\r\nhelloGET /\xff HTTP/1.0\r\n\r\n";
    for (const qsizetype piece : { bytes.size(), qsizetype(1), qsizetype(7) }) {
        HttpRequestParser parser(headerLimit, bodyLimit);
        QList<ParsedRequest> requests;
        for (qsizetype at = 0; at < bytes.size(); at += piece) {
            parser.append(bytes.mid(at, piece));
            for (auto outcome = parser.next(); std::holds_alternative<ParsedRequest>(outcome);
                 outcome = parser.next())
                requests.append(std::get<ParsedRequest>(outcome));
        }
        ASSERT_EQ(requests.size(), 2) << piece;
        EXPECT_EQ(requests[0].request.method, "POST");
        EXPECT_EQ(requests[0].request.path, "/users/login");
        EXPECT_EQ(requests[0].request.headerValues("cookie"), QByteArrayList { "a=1" });
        EXPECT_EQ(requests[0].request.body, "hello");
        EXPECT_TRUE(requests[0].keepAlive);
        EXPECT_EQ(requests[1].request.path, "/%FF");
        EXPECT_FALSE(requests[1].keepAlive) << "HTTP/1.0 closes unless asked otherwise";
        EXPECT_EQ(parser.bufferedSize(), 0);
    }
}

TEST(HttpRequestParser, SplitsTheTargetIntoPathAndQueryAndDropsTheFragment)
{
    const std::tuple<QByteArray, QByteArray, QByteArray> cases[] {
        { "/index.php/logger/notes.json?since=12", "/index.php/logger/notes.json", "since=12" },
        { "/a?", "/a", "" },
        { "/a?b?c=1", "/a", "b?c=1" },
        { "/a?b#c?d", "/a", "b" },
        { "/a#b?c", "/a", "" },
        { "/a?x=\xff\x7f", "/a", "x=%FF%7F" },
    };
    for (const auto& [target, path, query] : cases) {
        const auto outcome = parseAll("GET " + target + " HTTP/1.1\r\n\r\n");
        const auto* parsed = std::get_if<ParsedRequest>(&outcome);
        ASSERT_NE(parsed, nullptr) << target.constData();
        EXPECT_EQ(parsed->request.path, path) << target.constData();
        EXPECT_EQ(parsed->request.query, query) << target.constData();
    }
}

TEST(HttpRequestParser, KeepsTheConnectionAsTheClientAsks)
{
    const std::tuple<QByteArray, bool> cases[] {
        { "GET / HTTP/1.1\r\n\r\n", true },
        { "GET / HTTP/1.1\r\nConnection: Upgrade, Close\r\n\r\n", false },
        { "GET / HTTP/1.0\r\nConnection: keep-alive\r\n\r\n", true },
    };
    for (const auto& [bytes, keepAlive] : cases) {
        const auto outcome = parseAll(bytes);
        ASSERT_TRUE(std::holds_alternative<ParsedRequest>(outcome)) << bytes.constData();
        EXPECT_EQ(std::get<ParsedRequest>(outcome).keepAlive, keepAlive) << bytes.constData();
    }
}

// The limits hold at their very edge, and a body that is too large is refused before any of it is sent.
TEST(HttpRequestParser, RefusesWhatPassesTheLimitsOrBreaksTheGrammar)
{
    const QByteArray post = "POST / HTTP/1.1\r\nContent-Length: ";
    const std::tuple<QByteArray, int> cases[] {
        { headOfSize(headerLimit), 0 },
        { headOfSize(headerLimit + 1), 431 },
        { headOfSize(headerLimit + 100).chopped(4), 431 },
        { post + "65536\r\n\r\n" + QByteArray(bodyLimit, 'a'), 0 },
        { post + "65537\r\n\r\n", 413 },
        { post + "300000000\r\n\r\n", 413 },
        { post + "5\r\nContent-Length: 6\r\n\r\nhello!", 400 },
        { post + "-1\r\n\r\n", 400 },
        { post + "1 \r\nContent-Length: 1\r\n\r\nx", 0 },
        { post + "1, 1\r\n\r\nx", 400 },
        { post + "9999999999999999999\r\n\r\n", 400 },
        { "POST / HTTP/1.1\r\nTransfer-Encoding: chunked\r\n\r\n", 501 },
        { "GET / HTTP/2.0\r\n\r\n", 505 },
        { "GET / HTTQ/1.1\r\n\r\n", 400 },
        { "GET /\r\n\r\n", 400 },
        { "GET  / HTTP/1.1\r\n\r\n", 400 },
        { "GET http://x/ HTTP/1.1\r\n\r\n", 400 },
        { "G(T / HTTP/1.1\r\n\r\n", 400 },
        { "GET / HTTP/1.1\r\nHost: x\r\n folded\r\n\r\n", 400 },
        { "GET / HTTP/1.1\r\nBad Name: x\r\n\r\n", 400 },
        { "GET / HTTP/1.1\r\n: x\r\n\r\n", 400 },
        { "GET / HTTP/1.1\r\nX: a\rb\r\n\r\n", 400 },
        { QByteArrayLiteral("GET / HTTP/1.1\r\nX: a\0b\r\n\r\n"), 400 },
        { QByteArrayLiteral("\x16\x03\x01\x02\x00\x01\x00\x01\xfc\r\n\r\n"), 400 },
    };
    for (const auto& [bytes, status] : cases) {
        const auto outcome = parseAll(bytes);
        EXPECT_EQ(refusedStatus(outcome), status) << bytes.left(60).constData();
        if (status == 0) {
            EXPECT_TRUE(std::holds_alternative<ParsedRequest>(outcome)) << bytes.left(60).constData();
        }
    }
}

TEST(HttpRequestParser, KeepsNothingAfterARefusal)
{
    HttpRequestParser parser(headerLimit, bodyLimit);
    parser.append("GET / HTTP/1.1\r\nX: " + QByteArray(headerLimit, 'a'));
    EXPECT_EQ(refusedStatus(parser.next()), 431);
    EXPECT_EQ(parser.bufferedSize(), 0);
    parser.append("GET / HTTP/1.1\r\n\r\n");
    EXPECT_TRUE(std::holds_alternative<std::monostate>(parser.next()));
    EXPECT_EQ(parser.bufferedSize(), 0);
}

}
