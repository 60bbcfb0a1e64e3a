// The log service's request handling: the bytes of a connection, cut into the pieces they may arrive in,
// through the request reader, then the form body, the cookies, the request log line and the routes.
#include "FuzzInput.h"

#include "logservice/FormBody.h"
#include "logservice/HttpRequestParser.h"
#include "logservice/MakerSite.h"
#include "logservice/RecordingTime.h"
#include "logservice/RequestCookies.h"
#include "logservice/RequestLog.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <QDateTime>

namespace {

constexpr qsizetype headerLimit = 1024;
constexpr qsizetype bodyLimit = 4096;

void handle(const HttpRequest& request)
{
    FUZZ_ASSERT(request.body.size() <= bodyLimit);
    const auto cookies = request.headerValues("Cookie");
    const auto offset = cookieValue(cookies, "time_offset");
    cookieValue(cookies, "__Host-tapescribe_session");
    recordingTime(QDateTime::fromSecsSinceEpoch(1714572490, Qt::UTC), offset);
    const QString line = requestLogLine(request.method, request.path, offset);
    // One line of printable text, whatever was sent.
    FUZZ_ASSERT(!line.contains(QLatin1Char('\n')) && !line.contains(QLatin1Char('\r')));
    isFormContentType(request.headerValues("Content-Type").value(0));
    if (const auto fields = parseFormBody(request.body)) {
        formField(*fields, QStringLiteral("identity"));
        formField(*fields, QStringLiteral("text"));
    }
    static const MakerSite site;
    static QObject client;
    bool answered = false;
    site.respond(request, HttpReply(&client, [&](const HttpResponse& response) {
        answered = true;
        FUZZ_ASSERT(response.status == 200 || response.status == 404 || response.status == 405);
    }));
    FUZZ_ASSERT(answered);
}

}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider input(data, size);
    const std::size_t piece = input.ConsumeIntegralInRange<std::size_t>(1, 512);
    const std::string bytes = input.ConsumeRemainingBytesAsString();
    HttpRequestParser parser(headerLimit, bodyLimit);
    for (std::size_t at = 0; at < bytes.size(); at += piece) {
        parser.append(
            QByteArray(bytes.data() + at, static_cast<qsizetype>(std::min(piece, bytes.size() - at))));
        for (;;) {
            const auto outcome = parser.next();
            // Never more kept than one unfinished request and the last piece.
            FUZZ_ASSERT(parser.bufferedSize() <= headerLimit + bodyLimit + static_cast<qsizetype>(piece));
            if (const auto* parsed = std::get_if<ParsedRequest>(&outcome)) {
                handle(parsed->request);
                continue;
            }
            if (const auto* refusal = std::get_if<RequestRefusal>(&outcome))
                FUZZ_ASSERT(refusal->status >= 400 && refusal->status < 600);
            break;
        }
    }
    return 0;
}
