#include "logservice/Html.h"

QString htmlEscaped(const QString& text)
{
    return text.toHtmlEscaped().replace(QLatin1Char('\''), QLatin1String("&#39;"));
}

QString fillTemplate(const QString& pageTemplate, const QHash<QString, QString>& values)
{
    QString filled;
    filled.reserve(pageTemplate.size());
    qsizetype position = 0;
    while (true) {
        const qsizetype open = pageTemplate.indexOf(QLatin1String("{{"), position);
        const qsizetype close = open < 0 ? -1 : pageTemplate.indexOf(QLatin1String("}}"), open + 2);
        if (close < 0) {
            filled.append(QStringView(pageTemplate).mid(position));
            return filled;
        }
        filled.append(QStringView(pageTemplate).mid(position, open - position));
        filled.append(values.value(pageTemplate.mid(open + 2, close - open - 2)));
        position = close + 2;
    }
}
