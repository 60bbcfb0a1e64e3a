#include "help/SupportMail.h"

namespace {

bool standsUnescaped(char byte)
{
    static constexpr std::string_view urlPunctuation = "!#$&'()*+,-./:;=?@_~";
    return (byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z') || (byte >= '0' && byte <= '9')
        || urlPunctuation.find(byte) != std::string_view::npos;
}

}

QString legacyUrlEscaped(const QString& text)
{
    static constexpr char hexDigits[] = "0123456789ABCDEF";
    QString escaped;
    for (const char byte : text.toUtf8()) {
        if (standsUnescaped(byte)) {
            escaped += QLatin1Char(byte);
            continue;
        }
        const auto value = static_cast<unsigned char>(byte);
        escaped += QLatin1Char('%');
        escaped += QLatin1Char(hexDigits[value >> 4]);
        escaped += QLatin1Char(hexDigits[value & 0x0f]);
    }
    return escaped;
}

QString bugReportMailText(
    const QString& supportAddress, const QString& executableName, const QString& version)
{
    const QString subjectTail = executableName + QStringLiteral(" (version ") + version + QLatin1Char(')');
    const QString body = QStringLiteral("What went wrong?\n\n\n");
    return QStringLiteral("mailto:") + supportAddress + QStringLiteral("?subject=Bug%20Report%20for%20")
        + legacyUrlEscaped(subjectTail) + QStringLiteral("&body=") + legacyUrlEscaped(body);
}
