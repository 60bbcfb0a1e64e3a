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

void ClipSortModel::setSourceModel(QAbstractItemModel* model)
{
    QSortFilterProxyModel::setSourceModel(model);
    // Before the proxy sorts the new rows, which asks for their keys. The clip model only ever replaces
    // its whole list.
    const auto forget = [this] { nameKeys.clear(); };
    connect(model, &QAbstractItemModel::modelAboutToBeReset, this, forget);
    connect(model, &QAbstractItemModel::rowsAboutToBeInserted, this, forget);
    connect(model, &QAbstractItemModel::rowsAboutToBeRemoved, this, forget);
}

const QCollatorSortKey& ClipSortModel::nameKey(int sourceRow) const
{
    if (nameKeys.empty()) {
        const int rows = sourceModel()->rowCount();
        nameKeys.reserve(size_t(rows));
        for (int row = 0; row < rows; ++row)
            nameKeys.push_back(
                collator.sortKey(sourceModel()->index(row, ClipModel::Name).data(sortRole()).toString()));
    }
    return nameKeys[size_t(sourceRow)];
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
    if (left.column() == ClipModel::Name) {
        if (const int order = nameKey(left.row()).compare(nameKey(right.row())); order != 0)
            return order < 0;
        return left.row() < right.row();
    }
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
