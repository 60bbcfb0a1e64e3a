#include "app/HandOverMessage.h"

#include <QJsonArray>
#include <QJsonDocument>

namespace HandOverMessage {

QByteArray encoded(const QStringList& absolutePaths)
{
    return QJsonDocument(QJsonArray::fromStringList(absolutePaths)).toJson(QJsonDocument::Compact) + '\n';
}

std::optional<QStringList> paths(const QByteArray& line)
{
    const QJsonDocument document = QJsonDocument::fromJson(line);
    if (!document.isArray())
        return std::nullopt;
    QStringList found;
    for (const QJsonValue& element : document.array()) {
        if (element.isString() && !element.toString().isEmpty())
            found.append(element.toString());
    }
    return found;
}

}
