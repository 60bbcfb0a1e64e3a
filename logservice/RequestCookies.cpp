#include "logservice/RequestCookies.h"

std::optional<QByteArray> cookieValue(const QByteArrayList& cookieHeaders, const QByteArray& name)
{
    for (const QByteArray& header : cookieHeaders) {
        for (const QByteArray& pair : header.split(';')) {
            const QByteArray trimmed = pair.trimmed();
            const qsizetype equals = trimmed.indexOf('=');
            if (equals > 0 && trimmed.left(equals).trimmed() == name)
                return trimmed.mid(equals + 1).trimmed();
        }
    }
    return std::nullopt;
}
