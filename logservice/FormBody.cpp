#include "logservice/FormBody.h"

#include <QStringDecoder>

namespace {

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

std::optional<QString> decodeComponent(const QByteArray& component)
{
    QByteArray bytes;
    bytes.reserve(component.size());
    for (qsizetype i = 0; i < component.size(); ++i) {
        const char c = component.at(i);
        if (c == '+') {
            bytes.append(' ');
            continue;
        }
        if (c != '%') {
            bytes.append(c);
            continue;
        }
        if (i + 2 >= component.size())
            return std::nullopt;
        const int high = hexValue(component.at(i + 1));
        const int low = hexValue(component.at(i + 2));
        if (high < 0 || low < 0)
            return std::nullopt;
        bytes.append(static_cast<char>(high * 16 + low));
        i += 2;
    }
    QStringDecoder decoder(QStringDecoder::Utf8);
    QString text = decoder.decode(bytes);
    if (decoder.hasError())
        return std::nullopt;
    return text;
}

}

std::optional<FormFields> parseFormBody(const QByteArray& body)
{
    FormFields fields;
    for (const QByteArray& pair : body.split('&')) {
        if (pair.isEmpty())
            continue;
        const qsizetype equals = pair.indexOf('=');
        const auto name = decodeComponent(equals < 0 ? pair : pair.left(equals));
        const auto value = decodeComponent(equals < 0 ? QByteArray() : pair.mid(equals + 1));
        if (!name || !value)
            return std::nullopt;
        fields.append({ *name, *value });
    }
    return fields;
}

std::optional<QString> formField(const FormFields& fields, const QString& name)
{
    for (const auto& [fieldName, value] : fields) {
        if (fieldName == name)
            return value;
    }
    return std::nullopt;
}

bool isFormContentType(const QByteArray& contentType)
{
    const QByteArray mediaType = contentType.split(';').first().trimmed();
    return mediaType.compare("application/x-www-form-urlencoded", Qt::CaseInsensitive) == 0;
}
