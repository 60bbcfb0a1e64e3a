#pragma once

#include <QCollator>
#include <QSortFilterProxyModel>

#include <vector>

// The clip table's order: by whichever column the logger clicked, by name in natural order by default
// (A001C2 before A001C10, the way cameras number clips). It only reorders: the clip model, and with it
// the scan's list, keeps the scan's order and indices.
class ClipSortModel : public QSortFilterProxyModel
{
    Q_OBJECT

public:
    explicit ClipSortModel(QObject* parent = nullptr);

    void setSourceModel(QAbstractItemModel* model) override;

    // The row of the clip model shown at `viewRow`, or -1; and back.
    int sourceRow(int viewRow) const;
    int viewRow(int sourceRow) const;

protected:
    bool lessThan(const QModelIndex& left, const QModelIndex& right) const override;

private:
    const QCollatorSortKey& nameKey(int sourceRow) const;

    QCollator collator;
    // A collation per comparison made sorting 10,000 names take a quarter of a second; a name does not
    // change while its list is shown, so its sort key is made once per list, when first needed.
    mutable std::vector<QCollatorSortKey> nameKeys;
};
