#include "logservice/HttpMessage.h"

#include "logservice/Pages.h"

QByteArrayList HttpRequest::headerValues(const QByteArray& name) const
{
    QByteArrayList values;
    for (const auto& [headerName, value] : headers) {
        if (headerName.compare(name, Qt::CaseInsensitive) == 0)
            values.append(value);
    }
    return values;
}

HttpResponse HttpResponse::html(const QByteArray& page, int status)
{
    return { status,
        { { "Content-Type", "text/html; charset=utf-8" }, { "Cache-Control", "no-store" },
            { "Content-Security-Policy", pageSecurityPolicy() }, { "X-Content-Type-Options", "nosniff" },
            { "Referrer-Policy", "no-referrer" } },
        page };
}

HttpResponse HttpResponse::plainText(int status, const QString& text)
{
    return { status,
        { { "Content-Type", "text/plain; charset=utf-8" }, { "Cache-Control", "no-store" },
            { "X-Content-Type-Options", "nosniff" } },
        text.toUtf8() };
}

HttpResponse HttpResponse::redirect(const QByteArray& location)
{
    return { 303, { { "Location", location }, { "Cache-Control", "no-store" } }, {} };
}

QByteArray HttpResponse::header(const QByteArray& name) const
{
    for (const auto& [headerName, value] : headers) {
        if (headerName.compare(name, Qt::CaseInsensitive) == 0)
            return value;
    }
    return {};
}
