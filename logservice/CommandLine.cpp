#include "logservice/CommandLine.h"

#include <QCommandLineParser>
#include <QRegularExpression>

#include <memory>

namespace {

const QCommandLineOption dataOption(QStringLiteral("data"), QString(), QStringLiteral("DIR"));
const QCommandLineOption httpsPortOption(QStringLiteral("https-port"), QString(), QStringLiteral("N"));
const QCommandLineOption httpPortOption(QStringLiteral("http-port"), QString(), QStringLiteral("M"));
const QCommandLineOption hostOption(QStringLiteral("host"), QString(), QStringLiteral("NAME"));

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

// The parser after reading one command's arguments: nothing when an option is unknown, repeated or lacks
// its value, or when --data is missing or empty. Every option of these commands appears at most once.
std::unique_ptr<QCommandLineParser> parsed(
    const QStringList& arguments, const QList<QCommandLineOption>& options)
{
    auto parser = std::make_unique<QCommandLineParser>();
    parser->addOptions(options);
    // The parser reads the first argument as the program's name.
    if (!parser->parse(QStringList { QStringLiteral("tapescribe-logservice") } + arguments))
        return nullptr;
    for (const QCommandLineOption& option : options) {
        if (parser->values(option).size() > 1)
            return nullptr;
    }
    if (parser->value(dataOption).isEmpty())
        return nullptr;
    return parser;
}

std::optional<Command> parseServe(const QStringList& arguments)
{
    const auto parser = parsed(arguments, { dataOption, httpsPortOption, httpPortOption, hostOption });
    if (!parser || !parser->positionalArguments().isEmpty())
        return std::nullopt;
    ServeOptions options;
    options.dataDirectory = parser->value(dataOption);
    if (parser->isSet(httpsPortOption)) {
        const auto port = parsePort(parser->value(httpsPortOption));
        if (!port)
            return std::nullopt;
        options.httpsPort = *port;
    }
    if (parser->isSet(httpPortOption)) {
        options.httpPort = parsePort(parser->value(httpPortOption));
        if (!options.httpPort)
            return std::nullopt;
    }
    if (parser->isSet(hostOption)) {
        if (!isValidHostName(parser->value(hostOption)))
            return std::nullopt;
        options.hostName = parser->value(hostOption);
    }
    return options;
}

std::optional<Command> parseAddAccount(const QStringList& arguments)
{
    const auto parser = parsed(arguments, { dataOption });
    if (!parser || parser->positionalArguments().size() != 1)
        return std::nullopt;
    return AddAccountOptions { parser->value(dataOption), parser->positionalArguments().first() };
}

std::optional<Command> parseSpki(const QStringList& arguments)
{
    const auto parser = parsed(arguments, { dataOption });
    if (!parser || !parser->positionalArguments().isEmpty())
        return std::nullopt;
    return SpkiOptions { parser->value(dataOption) };
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
