#include "help/SupportMail.h"

#include <QUrl>

QString legacyUrlEscaped(const QString& text)
{
    // Qt leaves letters, digits and - . _ ~ as they are; the legacy form keeps the URL punctuation too.
    static const QByteArray urlPunctuation = QByteArrayLiteral("!#$&'()*+,/:;=?@");
    return QString::fromLatin1(QUrl::toPercentEncoding(text, urlPunctuation));
}

QString bugReportMailText(
    const QString& supportAddress, const QString& executableName, const QString& version)
{
    const QString subjectTail = executableName + QStringLiteral(" (version ") + version + QLatin1Char(')');
    const QString body = QStringLiteral("What went wrong?\n\n\n");
    return QStringLiteral("mailto:") + supportAddress + QStringLiteral("?subject=Bug%20Report%20for%20")
        + legacyUrlEscaped(subjectTail) + QStringLiteral("&body=") + legacyUrlEscaped(body);
}
