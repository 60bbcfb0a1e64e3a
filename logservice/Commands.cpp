#include "logservice/Commands.h"

#include "logservice/AccountInput.h"
#include "logservice/HttpListener.h"
#include "logservice/LogService.h"
#include "logservice/LogStore.h"
#include "logservice/MakerSite.h"
#include "logservice/OutputLine.h"
#include "logservice/PasswordChecks.h"
#include "logservice/Secrets.h"
#include "logservice/ServiceCertificate.h"
#include "logservice/TerminationSignals.h"
#include "logservice/TlsCiphers.h"

#include <QCoreApplication>
#include <QDir>
#include <QHostAddress>
#include <QIODevice>

#include <chrono>

namespace {

constexpr int failureStatus = 1;

// The folder holds the private key and the password hashes: when we make it, only the owner may enter.
bool prepareDataDirectory(const QString& path)
{
    if (QFileInfo(path).isDir())
        return true;
    return QDir().mkpath(path)
        && QFile::setPermissions(
            path, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

int fail(const QString& message)
{
    writeErrorLine(QStringLiteral("tapescribe-logservice: ") + message);
    return failureStatus;
}

std::optional<quint16> startListening(HttpListener& listener, quint16 port)
{
    if (!listener.listen(QHostAddress::LocalHost, port))
        return std::nullopt;
    return listener.serverPort();
}

int serve(const ServeOptions& options)
{
    if (!prepareDataDirectory(options.dataDirectory))
        return fail(QStringLiteral("cannot create the data folder %1").arg(options.dataDirectory));
    const auto certificate = loadOrCreateServiceCertificate(options.dataDirectory, options.hostName);
    if (!certificate)
        return fail(certificate.error());
    auto store = LogStore::open(options.dataDirectory);
    if (!store)
        return fail(store.error());

    PasswordChecks passwordChecks(passwordMatches, [] {
        return std::chrono::duration_cast<std::chrono::milliseconds>(
            std::chrono::steady_clock::now().time_since_epoch())
            .count();
    });
    const LogService logService(**store, passwordChecks, [] { return QDateTime::currentDateTimeUtc(); });
    HttpListener httpsListener([&logService](const HttpRequest& request, const HttpReply& reply) {
        logService.respond(request, reply);
    });
    if (!restrictDefaultCiphers())
        return fail(QStringLiteral("the TLS library offers none of the AEAD cipher suites the service uses"));
    httpsListener.useTls(certificate->certificate, certificate->privateKey);
    httpsListener.setSignInTest(&LogService::isSignIn);
    const auto httpsPort = startListening(httpsListener, options.httpsPort);
    if (!httpsPort)
        return fail(QStringLiteral("cannot listen on 127.0.0.1:%1").arg(options.httpsPort));

    const MakerSite makerSite;
    HttpListener httpListener([&makerSite](const HttpRequest& request, const HttpReply& reply) {
        makerSite.respond(request, reply);
    });
    std::optional<quint16> httpPort;
    if (options.httpPort) {
        httpPort = startListening(httpListener, *options.httpPort);
        if (!httpPort)
            return fail(QStringLiteral("cannot listen on 127.0.0.1:%1").arg(*options.httpPort));
    }

    TerminationSignals terminationSignals;
    if (!terminationSignals.install())
        return fail(QStringLiteral("cannot watch for termination signals"));
    writeOutputLine(
        QStringLiteral("tapescribe-logservice listening on https://127.0.0.1:%1").arg(*httpsPort));
    if (httpPort)
        writeOutputLine(
            QStringLiteral("tapescribe-logservice listening on http://127.0.0.1:%1").arg(*httpPort));
    return QCoreApplication::exec();
}

int addAccount(const AddAccountOptions& options, QIODevice& input)
{
    if (const auto problem = accountNameProblem(options.accountName))
        return fail(*problem);
    const QByteArray password = passwordFromInput(input.readAll());
    if (const auto problem = passwordProblem(password))
        return fail(*problem + QStringLiteral(" (the password is read from standard input)"));
    if (!prepareDataDirectory(options.dataDirectory))
        return fail(QStringLiteral("cannot create the data folder %1").arg(options.dataDirectory));
    auto store = LogStore::open(options.dataDirectory);
    if (!store)
        return fail(store.error());
    if (!(*store)->setPassword(options.accountName, password))
        return fail(QStringLiteral("cannot store the account %1").arg(options.accountName));
    return 0;
}

int printSpki(const SpkiOptions& options)
{
    if (!prepareDataDirectory(options.dataDirectory))
        return fail(QStringLiteral("cannot create the data folder %1").arg(options.dataDirectory));
    const auto certificate
        = loadOrCreateServiceCertificate(options.dataDirectory, ServeOptions().hostName, HostMatch::Any);
    if (!certificate)
        return fail(certificate.error());
    writeOutputLine(QString::fromLatin1(spkiSha256Base64(certificate->certificate)));
    return 0;
}

}

int runCommand(const Command& command, QIODevice& input)
{
    if (const auto* options = std::get_if<ServeOptions>(&command))
        return serve(*options);
    if (const auto* options = std::get_if<AddAccountOptions>(&command))
        return addAccount(*options, input);
    return printSpki(std::get<SpkiOptions>(command));
}
