#include "account/KeychainOutput.h"

#include <QStringList>

#include <algorithm>

namespace {

// Four blanks, a double quote and "acct": the opening of the account line.
constexpr QStringView accountLinePrefix = u"    \"acct";
constexpr QStringView hexAccountPrefix = u"    \"acct\"<blob>=0x";
constexpr QStringView hexPasswordPrefix = u"password: 0x";

// Lines end at line feeds; a carriage return directly before a line feed holds the two together as one
// character, which is not a line break. Empty lines are dropped.
QStringList lines(QStringView text)
{
    QStringList found;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != u'\n' || (i > 0 && text[i - 1] == u'\r'))
            continue;
        if (i > start)
            found.append(text.sliced(start, i - start).toString());
        start = i + 1;
    }
    if (start < text.size())
        found.append(text.sliced(start).toString());
    return found;
}

// The piece at `index` of the text cut at double quotes, empty pieces dropped.
QString quotedPiece(QStringView text, qsizetype index)
{
    const auto pieces = text.split(u'"', Qt::SkipEmptyParts);
    return index < pieces.size() ? pieces[index].toString() : QString();
}

// The value after `prefix` when the whole rest of `line` is hexadecimal digits in pairs.
std::optional<QString> hexValue(QStringView line, QStringView prefix)
{
    if (!line.startsWith(prefix))
        return std::nullopt;
    const QStringView digits = line.sliced(prefix.size());
    const bool wellFormed = digits.size() % 2 == 0 && std::all_of(digits.begin(), digits.end(), [](QChar c) {
        return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
    });
    if (!wellFormed)
        return std::nullopt;
    return QString::fromUtf8(QByteArray::fromHex(digits.toLatin1()));
}

QString usernameFrom(const QStringList& outputLines)
{
    for (const QString& line : outputLines) {
        if (!line.startsWith(accountLinePrefix))
            continue;
        if (const auto value = hexValue(line, hexAccountPrefix))
            return *value;
        return quotedPiece(line, 3);
    }
    return {};
}

QString passwordFrom(const QString& error)
{
    for (const QString& line : lines(error)) {
        if (const auto value = hexValue(line, hexPasswordPrefix))
            return *value;
    }
    // The whole text, line ends and all: the password is the second piece.
    return quotedPiece(error, 1);
}

}

std::optional<StoredAccount> storedAccount(const QString& output, const QString& error)
{
    const QStringList outputLines = lines(output);
    if (outputLines.isEmpty())
        return std::nullopt;
    return StoredAccount { usernameFrom(outputLines), passwordFrom(error) };
}
