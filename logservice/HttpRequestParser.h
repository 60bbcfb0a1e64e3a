#pragma once

#include "logservice/HttpMessage.h"

#include <variant>

// A complete request read off a connection.
struct ParsedRequest
{
    HttpRequest request;
    // Whether the client keeps the connection for another request (HTTP/1.1 unless it says "close").
    bool keepAlive = true;
    // An HTTP/1.0 request: a connection it keeps must be kept by the answer in words.
    bool http10 = false;
};

// A request that is refused before it is complete: the answer's status and text. The connection ends
// after the answer, since what follows on it cannot be trusted to start a request.
struct RequestRefusal
{
    int status = 400;
    QString text;
};

// Reads HTTP/1.1 requests as their bytes arrive. The header and the body are refused as soon as they pass
// their limits, before more of them is kept: the parser never holds more than the limits and the last bytes
// given to it. Each byte of a header is looked at a bounded number of times, so the work is linear in the
// size of what was sent. Bodies come with Content-Length only; chunked transfer is refused.
class HttpRequestParser
{
public:
    using Outcome = std::variant<std::monostate, ParsedRequest, RequestRefusal>;

    HttpRequestParser(qsizetype maximumHeaderSize, qsizetype maximumBodySize);

    void append(const QByteArray& bytes);
    // The next complete request, a refusal, or nothing while more bytes are needed. After a refusal the
    // parser takes nothing more.
    Outcome next();

    qsizetype bufferedSize() const { return m_buffer.size(); }

private:
    struct Head
    {
        HttpRequest request;
        bool keepAlive = true;
        bool http10 = false;
        qsizetype headSize = 0;
        qsizetype bodySize = 0;
    };

    std::variant<Head, RequestRefusal> parseHead(qsizetype headSize) const;

    qsizetype m_maximumHeaderSize;
    qsizetype m_maximumBodySize;
    QByteArray m_buffer;
    // How far the buffer has been searched for the end of the head.
    qsizetype m_searched = 0;
    std::optional<Head> m_head;
    bool m_refused = false;
};
