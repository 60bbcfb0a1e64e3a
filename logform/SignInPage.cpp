#include "logform/SignInPage.h"

#include "logform/LogServiceAddress.h"
#include "logform/ScriptLiteral.h"

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
