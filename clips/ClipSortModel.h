#pragma once

#include <QCollator>
#include <QSortFilterProxyModel>

// The clip table's order: by whichever column the logger clicked, by name in natural order by default
// (A001C2 before A001C10, the way cameras number clips). It only reorders: the clip model, and with it
// the scan's list, keeps the scan's order and indices.
class ClipSortModel : public QSortFilterProxyModel
{
    Q_OBJECT

public:
    explicit ClipSortModel(QObject* parent = nullptr);

    // The row of the clip model shown at `viewRow`, or -1; and back.
    int sourceRow(int viewRow) const;
    int viewRow(int sourceRow) const;

protected:
    bool lessThan(const QModelIndex& left, const QModelIndex& right) const override;

private:
    QCollator collator;
};
