#include "MoveFixtures.h"

#include "move/ShellScripts.h"

#include <QDir>
#include <QFile>
#include <QTemporaryFile>

#include <cstdio>

#include <fcntl.h>
#include <unistd.h>

namespace {
void writeScript(const QString& path, const QString& body)
{
    QFile script(path);
    script.open(QIODevice::WriteOnly);
    script.write(("#!/bin/sh\n" + body + "\n").toUtf8());
    script.close();
    script.setPermissions(script.permissions() | QFileDevice::ExeOwner);
}
}

void makeFakeBundle(const QString& bundle, const QString& marker, const QString& startedLine)
{
    QDir().mkpath(bundle + "/bin");
    QDir().mkpath(bundle + "/libexec");
    writeScript(bundle + "/bin/tapescribe",
        QStringLiteral("printf '%s\\n' %1 > %2").arg(startedLine, shellQuoted(marker)));
    writeScript(bundle + "/libexec/tapescribe-xattr",
        QStringLiteral("printf '%s\\n' \"$@\" > %1").arg(shellQuoted(marker + ".xattr")));
}

ConsoleCapture::ConsoleCapture()
{
    QTemporaryFile file;
    file.setAutoRemove(false);
    file.open();
    path = file.fileName();
    std::fflush(stdout);
    savedOutput = ::dup(STDOUT_FILENO);
    const int capture = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_TRUNC);
    ::dup2(capture, STDOUT_FILENO);
    ::close(capture);
}

ConsoleCapture::~ConsoleCapture()
{
    std::fflush(stdout);
    ::dup2(savedOutput, STDOUT_FILENO);
    ::close(savedOutput);
    QFile::remove(path);
}

QStringList ConsoleCapture::lines()
{
    std::fflush(stdout);
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    return QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts);
}

void PrintTo(const QString& text, std::ostream* stream)
{
    *stream << '"' << text.toStdString() << '"';
}
