#include "clips/ClipSortModel.h"
#include "clips/ClipModel.h"

namespace {

// Qt's collator compares plainly, without its numeric mode, in the C locale, which a session without a
// language set runs in: natural order then follows English rules.
QLocale collationLocale()
{
    const QLocale locale;
    return locale.language() == QLocale::C ? QLocale(QLocale::English) : locale;
}

}

ClipSortModel::ClipSortModel(QObject* parent)
    : QSortFilterProxyModel(parent)
    , collator(collationLocale())
{
    collator.setNumericMode(true);
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    setSortRole(ClipModel::sortRole);
}

int ClipSortModel::sourceRow(int viewRow) const
{
    return mapToSource(index(viewRow, 0)).row();
}

int ClipSortModel::viewRow(int sourceRow) const
{
    return sourceModel() ? mapFromSource(sourceModel()->index(sourceRow, 0)).row() : -1;
}

bool ClipSortModel::lessThan(const QModelIndex& left, const QModelIndex& right) const
{
    const QVariant leftValue = left.data(sortRole());
    const QVariant rightValue = right.data(sortRole());
    if (leftValue.typeId() == QMetaType::QString && rightValue.typeId() == QMetaType::QString) {
        if (const int order = collator.compare(leftValue.toString(), rightValue.toString()); order != 0)
            return order < 0;
    } else if (const QPartialOrdering order = QVariant::compare(leftValue, rightValue);
               order == QPartialOrdering::Less || order == QPartialOrdering::Greater) {
        return order == QPartialOrdering::Less;
    }
    // Equal values fall back on the scan's order, so that every sort is the same for the same clips.
    return left.row() < right.row();
}
