#include "notes/MarkerWriters.h"

#include "notes/MarkerWriting.h"

#include <QUrl>
#include <QXmlStreamWriter>

#include <algorithm>

QByteArray writeMarkers(MarkerFormat format, const MarkerPlan& plan, const QString& title)
{
    switch (format) {
    case MarkerFormat::Fcpxml:
        return MarkerWriting::fcpxml(plan, title);
    case MarkerFormat::Xmeml:
        return MarkerWriting::xmeml(plan, title);
    case MarkerFormat::Ale:
        return MarkerWriting::ale(plan);
    case MarkerFormat::Csv:
        return MarkerWriting::csv(plan);
    }
    return QByteArray();
}

namespace MarkerWriting {

QString xmlText(QStringView text)
{
    const auto allowed = [](char16_t c) {
        return (c >= 0x20 && c < 0xD800) || (c >= 0xE000 && c <= 0xFFFD) || c == u'\t' || c == u'\n' || c == u'\r';
    };
    if (std::all_of(text.begin(), text.end(), [&](QChar c) { return allowed(c.unicode()); }))
        return text.toString();
    QString safe;
    safe.reserve(text.size());
    const qsizetype size = text.size();
    for (qsizetype i = 0; i < size; ++i) {
        const char16_t c = text[i].unicode();
        if (QChar::isHighSurrogate(c) && i + 1 < size && QChar::isLowSurrogate(text[i + 1].unicode())) {
            safe += text[i];
            safe += text[++i];
        } else if (allowed(c)) {
            safe += text[i];
        } else {
            safe += QChar(QChar::ReplacementCharacter);
        }
    }
    return safe;
}

void writeTextElement(QXmlStreamWriter& xml, const QString& name, QStringView text)
{
    const QString safe = xmlText(text);
    if (!safe.contains(u'\r')) {
        xml.writeTextElement(name, safe);
        return;
    }
    xml.writeStartElement(name);
    qsizetype from = 0;
    for (qsizetype at = safe.indexOf(u'\r'); at >= 0; at = safe.indexOf(u'\r', from)) {
        xml.writeCharacters(safe.mid(from, at - from));
        xml.writeEntityReference(QStringLiteral("#13"));
        from = at + 1;
    }
    xml.writeCharacters(safe.mid(from));
    xml.writeEndElement();
}

QString fileUrl(const QString& path, bool withLocalhost)
{
    QUrl url = QUrl::fromLocalFile(path);
    if (withLocalhost)
        url.setHost(QStringLiteral("localhost"));
    return url.toString(QUrl::FullyEncoded);
}

}
