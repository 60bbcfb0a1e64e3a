#pragma once

#include <QString>
#include <QStringList>

#include <optional>
#include <variant>

struct ServeOptions
{
    QString dataDirectory;
    quint16 httpsPort = 8443;
    std::optional<quint16> httpPort;
    QString hostName = QStringLiteral("logs.tapescribe.test");
};

struct AddAccountOptions
{
    QString dataDirectory;
    QString accountName;
};

struct SpkiOptions
{
    QString dataDirectory;
};

using Command = std::variant<ServeOptions, AddAccountOptions, SpkiOptions>;

// Reads the arguments that follow the program name; nothing when they do not make a valid command.
std::optional<Command> parseCommandLine(const QStringList& arguments);

QString usageText();

// A DNS host name (letters, digits, hyphens, dot-separated labels): the only names that go into the
// certificate's subject alternative names.
bool isValidHostName(const QString& name);
