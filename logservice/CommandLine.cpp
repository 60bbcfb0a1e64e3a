#include "logservice/CommandLine.h"

#include <QHash>
#include <QRegularExpression>

namespace {

std::optional<quint16> parsePort(const QString& text)
{
    static const QRegularExpression digits(QStringLiteral("^[0-9]{1,5}$"));
    if (!digits.match(text).hasMatch())
        return std::nullopt;
    const int port = text.toInt();
    if (port > 65535)
        return std::nullopt;
    return static_cast<quint16>(port);
}

struct SplitArguments
{
    QHash<QString, QString> options;
    QStringList positional;
};

// Splits "--name value" pairs from the other arguments; an option outside `allowed`, a repeated option or
// an option without its value makes the command line invalid.
std::optional<SplitArguments> splitArguments(const QStringList& arguments, const QStringList& allowed)
{
    SplitArguments split;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments.at(i);
        if (!argument.startsWith(QLatin1String("--"))) {
            split.positional.append(argument);
            continue;
        }
        if (!allowed.contains(argument) || split.options.contains(argument) || i + 1 >= arguments.size())
            return std::nullopt;
        split.options.insert(argument, arguments.at(++i));
    }
    const QString dataDirectory = split.options.value(QStringLiteral("--data"));
    if (dataDirectory.isEmpty())
        return std::nullopt;
    return split;
}

std::optional<Command> parseServe(const QStringList& arguments)
{
    const auto split = splitArguments(arguments,
        { QStringLiteral("--data"), QStringLiteral("--https-port"), QStringLiteral("--http-port"),
            QStringLiteral("--host") });
    if (!split || !split->positional.isEmpty())
        return std::nullopt;
    ServeOptions options;
    options.dataDirectory = split->options.value(QStringLiteral("--data"));
    if (const auto text = split->options.find(QStringLiteral("--https-port")); text != split->options.end()) {
        const auto port = parsePort(*text);
        if (!port)
            return std::nullopt;
        options.httpsPort = *port;
    }
    if (const auto text = split->options.find(QStringLiteral("--http-port")); text != split->options.end()) {
        options.httpPort = parsePort(*text);
        if (!options.httpPort)
            return std::nullopt;
    }
    if (const auto host = split->options.find(QStringLiteral("--host")); host != split->options.end()) {
        if (!isValidHostName(*host))
            return std::nullopt;
        options.hostName = *host;
    }
    return options;
}

std::optional<Command> parseAddAccount(const QStringList& arguments)
{
    const auto split = splitArguments(arguments, { QStringLiteral("--data") });
    if (!split || split->positional.size() != 1)
        return std::nullopt;
    return AddAccountOptions { split->options.value(QStringLiteral("--data")), split->positional.first() };
}

std::optional<Command> parseSpki(const QStringList& arguments)
{
    const auto split = splitArguments(arguments, { QStringLiteral("--data") });
    if (!split || !split->positional.isEmpty())
        return std::nullopt;
    return SpkiOptions { split->options.value(QStringLiteral("--data")) };
}

}

std::optional<Command> parseCommandLine(const QStringList& arguments)
{
    if (arguments.isEmpty())
        return std::nullopt;
    const QString& command = arguments.first();
    const QStringList rest = arguments.mid(1);
    if (command == QLatin1String("serve"))
        return parseServe(rest);
    if (command == QLatin1String("add-account"))
        return parseAddAccount(rest);
    if (command == QLatin1String("spki"))
        return parseSpki(rest);
    return std::nullopt;
}

QString usageText()
{
    return QStringLiteral(
        "usage: tapescribe-logservice serve --data DIR [--https-port N] [--http-port M] [--host NAME]\n"
        "       tapescribe-logservice add-account --data DIR NAME   (the password is read from standard "
        "input)\n"
        "       tapescribe-logservice spki --data DIR");
}

bool isValidHostName(const QString& name)
{
    static const QRegularExpression hostName(QStringLiteral(
        "^[A-Za-z0-9]([A-Za-z0-9-]{0,61}[A-Za-z0-9])?(\\.[A-Za-z0-9]([A-Za-z0-9-]{0,61}[A-Za-z0-9])?)*$"));
    return name.size() <= 253 && hostName.match(name).hasMatch();
}
