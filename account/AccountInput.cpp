#include "account/AccountInput.h"

namespace {
const QString mailLinkScheme = QStringLiteral("mailto:");
}

// QString::trimmed() removes exactly the characters QChar::isSpace() names: the Unicode separators
// (Zs, Zl, Zp), U+0009 to U+000D and U+0085.
QString cleanedUsername(const QString& typed)
{
    QString name = typed.trimmed();
    // Only a leading "mailto:" marks a mail link; once it is one, every occurrence goes. What is left is not
    // trimmed again.
    if (name.startsWith(mailLinkScheme))
        name.remove(mailLinkScheme);
    return name;
}

QString cleanedPassword(const QString& typed)
{
    return typed.trimmed();
}
