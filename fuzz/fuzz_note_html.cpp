// A logger's text in the service's pages: whatever a note or a user name holds, the escaped text reads back
// as typed, and the page around it keeps the same elements and attributes as it has with plain text.
#include "FuzzInput.h"

#include "logservice/Html.h"
#include "logservice/Pages.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <QStringList>

#include <optional>

namespace {

struct Entity
{
    QLatin1String name;
    QChar character;
};

const Entity entities[] { { QLatin1String("&amp;"), u'&' }, { QLatin1String("&lt;"), u'<' },
    { QLatin1String("&gt;"), u'>' }, { QLatin1String("&quot;"), u'"' }, { QLatin1String("&#39;"), u'\'' } };

// Text as it stands in HTML content or in a quoted attribute value, decoded; nothing when it holds a
// character that ends either ('<', '>', a quote) or an '&' that does not start one of the entities the
// service writes.
std::optional<QString> decodedText(QStringView html)
{
    QString text;
    for (qsizetype i = 0; i < html.size(); ++i) {
        const QChar c = html.at(i);
        if (c == u'<' || c == u'>' || c == u'"' || c == u'\'')
            return std::nullopt;
        if (c != u'&') {
            text += c;
            continue;
        }
        const Entity* match = nullptr;
        for (const Entity& entity : entities) {
            if (html.sliced(i).startsWith(entity.name))
                match = &entity;
        }
        if (!match)
            return std::nullopt;
        text += match->character;
        i += match->name.size() - 1;
    }
    return text;
}

// A page cut into its tags, with each attribute value and each text between tags replaced by a mark, and
// the decoded values and texts in order; nothing when it does not read as the service's own HTML: a raw
// '<' or '>' in text, an attribute value that is unquoted or not decodable. Style and script elements are
// the service's own and skipped whole.
struct Markup
{
    QStringList shape;
    QStringList values;
};

std::optional<Markup> readMarkup(const QString& html)
{
    Markup markup;
    qsizetype at = 0;
    while (at < html.size()) {
        if (html.at(at) != u'<') {
            qsizetype end = html.indexOf(u'<', at);
            if (end < 0)
                end = html.size();
            const auto text = decodedText(QStringView(html).sliced(at, end - at));
            if (!text)
                return std::nullopt;
            markup.shape.append(QStringLiteral("#text"));
            markup.values.append(*text);
            at = end;
            continue;
        }
        QString tag;
        qsizetype i = at + 1;
        for (; i < html.size() && html.at(i) != u'>'; ++i) {
            if (html.at(i) == u'<' || html.at(i) == u'\'')
                return std::nullopt;
            if (html.at(i) != u'"') {
                tag += html.at(i);
                continue;
            }
            const qsizetype close = html.indexOf(u'"', i + 1);
            if (close < 0)
                return std::nullopt;
            const auto value = decodedText(QStringView(html).sliced(i + 1, close - i - 1));
            if (!value)
                return std::nullopt;
            tag += QStringLiteral("\"…\"");
            markup.values.append(*value);
            i = close;
        }
        if (i >= html.size())
            return std::nullopt;
        markup.shape.append(tag);
        at = i + 1;
        for (const QString& rawText : { QStringLiteral("style"), QStringLiteral("script") }) {
            if (tag == rawText) {
                const qsizetype end = html.indexOf(QStringLiteral("</") + rawText + u'>', at);
                if (end < 0)
                    return std::nullopt;
                at = end;
            }
        }
    }
    return markup;
}

// Both texts read back from where `plain` stands in the page made with it.
void checkPage(
    const QString& page, const QString& plainPage, const QStringList& texts, const QStringList& plain)
{
    const auto markup = readMarkup(page);
    const auto plainMarkup = readMarkup(plainPage);
    FUZZ_ASSERT(markup && plainMarkup);
    FUZZ_ASSERT(markup->shape == plainMarkup->shape);
    FUZZ_ASSERT(markup->values.size() == plainMarkup->values.size());
    for (qsizetype i = 0; i < texts.size(); ++i) {
        const qsizetype index = plainMarkup->values.indexOf(plain.at(i));
        FUZZ_ASSERT(index >= 0 && markup->values.at(index) == texts.at(i));
    }
}

}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider input(data, size);
    const std::string first = input.ConsumeRandomLengthString(512);
    const std::string second = input.ConsumeRemainingBytesAsString();
    const QString text = QString::fromUtf8(first.data(), static_cast<qsizetype>(first.size()));
    const QString name = QString::fromUtf8(second.data(), static_cast<qsizetype>(second.size()));

    const auto escaped = decodedText(htmlEscaped(text));
    FUZZ_ASSERT(escaped && *escaped == text);

    // A page without a message, or a note without text, has one element fewer than with plain text; the
    // escaping above covers them.
    if (text.isEmpty())
        return 0;
    const QDateTime written = QDateTime::fromSecsSinceEpoch(1'796'652'605, Qt::UTC);
    const QString plainText = QStringLiteral("plain note");
    const QString plainName = QStringLiteral("plain name");
    const auto section = [&](const QString& noteText) {
        return QString::fromUtf8(notesSection({ { noteText, written.addSecs(-91), written } }, false));
    };
    checkPage(section(text), section(plainText), { text }, { plainText });
    checkPage(QString::fromUtf8(signInPage(text, name)), QString::fromUtf8(signInPage(plainText, plainName)),
        { text, name }, { plainText, plainName });
    return 0;
}
