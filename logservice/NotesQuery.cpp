#include "logservice/NotesQuery.h"

#include "logservice/FormBody.h"

#include <algorithm>
#include <limits>

namespace {

// Digits that surely fit a qint64.
constexpr qsizetype safeDigits = 18;

}

std::optional<qint64> notesSince(const QByteArray& query)
{
    const auto fields = parseFormBody(query);
    if (!fields)
        return std::nullopt;
    const auto named = std::count_if(
        fields->begin(), fields->end(), [](const auto& field) { return field.first == u"since"; });
    if (named == 0)
        return 0;
    if (named > 1)
        return std::nullopt;
    const QString value = *formField(*fields, QStringLiteral("since"));
    if (value.isEmpty()
        || !std::all_of(value.begin(), value.end(), [](QChar c) { return c >= u'0' && c <= u'9'; }))
        return std::nullopt;
    const auto significant = std::find_if(value.begin(), value.end(), [](QChar c) { return c != u'0'; });
    if (value.end() - significant > safeDigits)
        return std::numeric_limits<qint64>::max();
    return significant == value.end() ? 0 : QStringView(significant, value.end()).toLongLong();
}
