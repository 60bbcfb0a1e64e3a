#include "logform/ScriptLiteral.h"

#include <QJsonArray>
#include <QJsonDocument>

QString scriptLiteral(const QString& text)
{
    // JSON's escaping leaves the line and paragraph separators raw, which older script engines read as
    // line ends inside a literal; they are escaped too.
    const QString array
        = QString::fromUtf8(QJsonDocument(QJsonArray { text }).toJson(QJsonDocument::Compact));
    QString literal = array.mid(1, array.size() - 2);
    literal.replace(QChar(0x2028), QStringLiteral("\\u2028"));
    literal.replace(QChar(0x2029), QStringLiteral("\\u2029"));
    return literal;
}
