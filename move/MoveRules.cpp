#include "move/MoveRules.h"

#include <algorithm>

bool liesInsideFolders(
    const QString& path, const QStringList& folders, const std::optional<QString>& component)
{
    // An empty folder would be a prefix of every path.
    const auto contains = [&](const QString& folder) { return !folder.isEmpty() && path.startsWith(folder); };
    if (std::ranges::any_of(folders, contains))
        return true;
    return component && path.split(QLatin1Char('/')).contains(*component);
}

bool holdsApplicationBundle(const QStringList& entryNames)
{
    return std::ranges::any_of(
        entryNames, [](const QString& name) { return name.endsWith(QLatin1String(".app")); });
}

QString trimmedOfBlanks(const QString& text)
{
    const auto isBlank
        = [](QChar c) { return c == QLatin1Char('\t') || c.category() == QChar::Separator_Space; };
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isBlank(text[begin]))
        ++begin;
    while (end > begin && isBlank(text[end - 1]))
        --end;
    return text.mid(begin, end - begin);
}
