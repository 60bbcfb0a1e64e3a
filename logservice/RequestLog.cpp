#include "logservice/RequestLog.h"

namespace {

QString printable(const QByteArray& bytes)
{
    QString text;
    text.reserve(bytes.size());
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte > 0x20 && byte < 0x7f)
            text.append(QLatin1Char(c));
        else
            text.append(QLatin1Char('%') + QString::fromLatin1(QByteArray(1, c).toHex().toUpper()));
    }
    return text;
}

}

QString requestLogLine(
    const QByteArray& method, const QByteArray& path, const std::optional<QByteArray>& timeOffset)
{
    return QStringLiteral("request %1 %2 time_offset=%3")
        .arg(printable(method), printable(path), timeOffset ? printable(*timeOffset) : QStringLiteral("-"));
}
