#include "logservice/HttpRequestParser.h"

#include <QByteArrayView>
#include <QPair>

#include <algorithm>
#include <tuple>

namespace {

constexpr qsizetype longestContentLength = 18; // digits: still fits a qsizetype

bool isTokenCharacter(char c)
{
    static constexpr QByteArrayView others = "!#$%&'*+-.^_`|~";
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || others.contains(c);
}

bool isToken(QByteArrayView text)
{
    return !text.isEmpty() && std::all_of(text.begin(), text.end(), isTokenCharacter);
}

bool isDigits(QByteArrayView text)
{
    return !text.isEmpty()
        && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// Field values may hold visible characters, blanks and tabs, and bytes beyond ASCII; no other controls.
bool isFieldValue(QByteArrayView text)
{
    return std::none_of(text.begin(), text.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return (byte < 0x20 && byte != '\t') || byte == 0x7f;
    });
}

QByteArray trimmedBlanks(QByteArrayView text)
{
    qsizetype start = 0;
    qsizetype end = text.size();
    while (start < end && (text[start] == ' ' || text[start] == '\t'))
        ++start;
    while (end > start && (text[end - 1] == ' ' || text[end - 1] == '\t'))
        --end;
    return text.sliced(start, end - start).toByteArray();
}

// Bytes of the request target with every byte that is not visible ASCII percent-encoded, so that the pages
// and the request log see printable text only.
QByteArray printable(QByteArrayView bytes)
{
    QByteArray text;
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte > 0x20 && byte < 0x7f)
            text.append(c);
        else
            text.append('%').append(QByteArray(1, c).toHex().toUpper());
    }
    return text;
}

// The target's path and its query, each without what follows it; a fragment is never part of either.
QPair<QByteArray, QByteArray> pathAndQuery(QByteArrayView target)
{
    const qsizetype fragment = target.indexOf('#');
    const QByteArrayView beforeFragment = fragment < 0 ? target : target.first(fragment);
    const qsizetype question = beforeFragment.indexOf('?');
    if (question < 0)
        return { printable(beforeFragment), {} };
    return { printable(beforeFragment.first(question)), printable(beforeFragment.sliced(question + 1)) };
}

bool hasToken(const QByteArrayList& values, QByteArrayView token)
{
    for (const QByteArray& value : values) {
        for (const QByteArray& item : value.split(',')) {
            if (trimmedBlanks(item).compare(token, Qt::CaseInsensitive) == 0)
                return true;
        }
    }
    return false;
}

RequestRefusal malformed()
{
    return { 400, QStringLiteral("The request is malformed.") };
}

}

HttpRequestParser::HttpRequestParser(qsizetype maximumHeaderSize, qsizetype maximumBodySize)
    : m_maximumHeaderSize(maximumHeaderSize)
    , m_maximumBodySize(maximumBodySize)
{
}

void HttpRequestParser::append(const QByteArray& bytes)
{
    if (!m_refused)
        m_buffer.append(bytes);
}

HttpRequestParser::Outcome HttpRequestParser::next()
{
    if (m_refused)
        return std::monostate();
    const auto refuse = [this](RequestRefusal refusal) {
        m_refused = true;
        m_buffer = QByteArray();
        m_head.reset();
        return Outcome(std::move(refusal));
    };

    if (!m_head) {
        // Empty lines before a request are to be ignored (RFC 9112, section 2.2).
        qsizetype blank = 0;
        while (m_buffer.size() >= blank + 2 && m_buffer[blank] == '\r' && m_buffer[blank + 1] == '\n')
            blank += 2;
        if (blank > 0) {
            m_buffer.remove(0, blank);
            m_searched = 0;
        }
        // A match may straddle the bytes searched before and the new ones.
        const qsizetype end = m_buffer.indexOf("\r\n\r\n", std::max<qsizetype>(0, m_searched - 3));
        if (end < 0) {
            m_searched = m_buffer.size();
            if (m_buffer.size() > m_maximumHeaderSize)
                return refuse({ 431, QStringLiteral("The request's header is too large.") });
            return std::monostate();
        }
        const qsizetype headSize = end + 4;
        if (headSize > m_maximumHeaderSize)
            return refuse({ 431, QStringLiteral("The request's header is too large.") });
        auto head = parseHead(headSize);
        if (auto* refusal = std::get_if<RequestRefusal>(&head))
            return refuse(std::move(*refusal));
        m_head = std::move(std::get<Head>(head));
    }

    const qsizetype requestSize = m_head->headSize + m_head->bodySize;
    if (m_buffer.size() < requestSize)
        return std::monostate();
    ParsedRequest parsed { std::move(m_head->request), m_head->keepAlive, m_head->http10 };
    parsed.request.body = m_buffer.mid(m_head->headSize, m_head->bodySize);
    m_buffer.remove(0, requestSize);
    m_searched = 0;
    m_head.reset();
    return parsed;
}

std::variant<HttpRequestParser::Head, RequestRefusal> HttpRequestParser::parseHead(qsizetype headSize) const
{
    // Without the final empty line: the request line, then one header field per line.
    const QByteArrayView text = QByteArrayView(m_buffer).first(headSize - 4);
    QList<QByteArrayView> lines;
    qsizetype start = 0;
    while (start <= text.size()) {
        qsizetype end = text.indexOf(QByteArrayView("\r\n"), start);
        if (end < 0)
            end = text.size();
        lines.append(text.sliced(start, end - start));
        start = end + 2;
    }

    const QByteArray firstLine = lines.first().toByteArray();
    const QByteArrayList parts = firstLine.split(' ');
    if (parts.size() != 3 || !isToken(parts[0]) || !parts[1].startsWith('/'))
        return malformed();
    const QByteArray& version = parts[2];
    const bool http11 = version == "HTTP/1.1";
    if (!http11 && version != "HTTP/1.0") {
        const bool otherVersion = version.size() == 8 && version.startsWith("HTTP/")
            && isDigits(version.mid(5, 1)) && version[6] == '.' && isDigits(version.mid(7, 1));
        if (otherVersion)
            return RequestRefusal { 505, QStringLiteral("Only HTTP/1.1 is spoken here.") };
        return malformed();
    }

    Head head;
    head.headSize = headSize;
    head.request.method = parts[0];
    std::tie(head.request.path, head.request.query) = pathAndQuery(parts[1]);
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QByteArrayView line = lines[i];
        const qsizetype colon = line.indexOf(':');
        // A line folded onto the one before it, or a name with blanks, is refused, as RFC 9112 asks.
        if (colon <= 0 || !isToken(line.first(colon)) || !isFieldValue(line.sliced(colon + 1)))
            return malformed();
        head.request.headers.append(
            { line.first(colon).toByteArray(), trimmedBlanks(line.sliced(colon + 1)) });
    }

    if (!head.request.headerValues("Transfer-Encoding").isEmpty())
        return RequestRefusal { 501, QStringLiteral("Send the body with a Content-Length.") };
    const QByteArrayList lengths = head.request.headerValues("Content-Length");
    if (!lengths.isEmpty()) {
        const QByteArray& length = lengths.first();
        const bool agreed
            = std::all_of(lengths.begin(), lengths.end(), [&](const QByteArray& l) { return l == length; });
        if (!agreed || !isDigits(length) || length.size() > longestContentLength)
            return malformed();
        head.bodySize = length.toLongLong();
        if (head.bodySize > m_maximumBodySize)
            return RequestRefusal { 413, QStringLiteral("The request's body is too large.") };
    }
    const QByteArrayList connection = head.request.headerValues("Connection");
    head.keepAlive = http11 ? !hasToken(connection, "close") : hasToken(connection, "keep-alive");
    head.http10 = !http11;
    return head;
}
