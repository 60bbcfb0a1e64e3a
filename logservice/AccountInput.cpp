#include "logservice/AccountInput.h"

#include <QStringDecoder>

#include <algorithm>

namespace {

constexpr qsizetype maximumNameLength = 200;

bool hasControlCharacter(const QString& text)
{
    return std::any_of(
        text.cbegin(), text.cend(), [](QChar c) { return c.category() == QChar::Other_Control; });
}

}

std::optional<QString> accountNameProblem(const QString& name)
{
    if (name.isEmpty())
        return QStringLiteral("the account name is empty");
    if (name.trimmed() != name)
        return QStringLiteral("the account name starts or ends with white space");
    if (name.size() > maximumNameLength)
        return QStringLiteral("the account name is longer than %1 characters").arg(maximumNameLength);
    if (hasControlCharacter(name))
        return QStringLiteral("the account name contains control characters");
    return std::nullopt;
}

QByteArray passwordFromInput(const QByteArray& input)
{
    if (input.endsWith("\r\n"))
        return input.chopped(2);
    if (input.endsWith('\n'))
        return input.chopped(1);
    return input;
}

std::optional<QString> passwordProblem(const QByteArray& password)
{
    if (password.isEmpty())
        return QStringLiteral("the password is empty");
    QStringDecoder decoder(QStringDecoder::Utf8);
    // Decoding is what finds the errors.
    [[maybe_unused]] const QString decoded = decoder.decode(password);
    if (decoder.hasError())
        return QStringLiteral("the password is not valid UTF-8 text");
    return std::nullopt;
}
