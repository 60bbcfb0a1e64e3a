#include "logform/SignInPage.h"

#include "core/LogServiceAddress.h"

#include <QJsonArray>
#include <QJsonDocument>

namespace {

// A JavaScript string literal holding exactly `text`. JSON's escaping leaves the line and paragraph
// separators raw, which older script engines read as line ends inside a literal; they are escaped too.
QString scriptLiteral(const QString& text)
{
    const QString array
        = QString::fromUtf8(QJsonDocument(QJsonArray { text }).toJson(QJsonDocument::Compact));
    QString literal = array.mid(1, array.size() - 2);
    literal.replace(QChar(0x2028), QStringLiteral("\\u2028"));
    literal.replace(QChar(0x2029), QStringLiteral("\\u2029"));
    return literal;
}

}

QUrl signInPageURL(const QString& host)
{
    return LogServiceAddress::page(host, QStringLiteral("/users/login"));
}

bool isSignInPage(const QUrl& address, const QString& host)
{
    return LogServiceAddress::samePage(address, signInPageURL(host));
}

QString signInFillScript(const QString& username, const QString& password)
{
    return QStringLiteral("(function (username, password) {\n"
                          "    if (!document.getElementById('sign_in'))\n"
                          "        return;\n"
                          "    const identity = document.getElementById('identity');\n"
                          "    const passwordInput = document.getElementById('password');\n"
                          "    if (identity)\n"
                          "        identity.value = username;\n"
                          "    if (passwordInput)\n"
                          "        passwordInput.value = password;\n"
                          "})(%1, %2);")
        .arg(scriptLiteral(username), scriptLiteral(password));
}
