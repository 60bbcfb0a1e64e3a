#include "clips/ClipModel.h"
#include "core/Console.h"
#include "clips/StatusIcons.h"

#include <QTextDocument>

ClipModel::ClipModel(QObject* parent)
    : QAbstractTableModel(parent)
{
}

void ClipModel::setClips(const QList<Clip>& newClips)
{
    beginResetModel();
    clips = newClips;
    marksShown = false;
    loadedRow = -1;
    rowsMade = QBitArray(clips.size());
    endResetModel();
    consoleLine(QStringLiteral("numberOfRowsInTableView: %1").arg(clips.size()));
}

void ClipModel::clearMarks()
{
    const int formerRow = loadedRow;
    loadedRow = -1;
    if (clips.isEmpty())
        return;
    if (!marksShown) {
        marksShown = true;
        emit dataChanged(index(0, 0), index(rowCount() - 1, 0), { Qt::DecorationRole, markRole });
    } else if (formerRow >= 0) {
        emit dataChanged(index(formerRow, 0), index(formerRow, 0), { Qt::DecorationRole, markRole });
    }
}

void ClipModel::markLoaded(int row)
{
    if (row < 0 || row >= clips.size())
        return;
    loadedRow = row;
    emit dataChanged(index(row, 0), index(row, 0), { Qt::DecorationRole, markRole });
}

ClipModel::Mark ClipModel::mark(int row) const
{
    if (row == loadedRow)
        return Mark::Unavailable;
    return marksShown ? Mark::None : Mark::Unset;
}

int ClipModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(clips.size());
}

int ClipModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : 1;
}

QVariant ClipModel::data(const QModelIndex& index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid))
        return {};
    const int row = index.row();
    switch (role) {
    case Qt::DisplayRole:
        if (!rowsMade.testBit(row)) {
            rowsMade.setBit(row);
            consoleLine(QStringLiteral("tableView viewForTableColumn"));
        }
        return clips.at(row).name;
    // A tool tip that looks like markup is shown as markup: the name goes as rich text that says it
    // literally.
    case Qt::ToolTipRole:
        return Qt::convertFromPlainText(clips.at(row).name, Qt::WhiteSpaceNoWrap);
    case Qt::DecorationRole:
        switch (mark(row)) {
        case Mark::Unset:
            return {};
        case Mark::None:
            return StatusIcons::none();
        case Mark::Unavailable:
            return StatusIcons::unavailable();
        }
        return {};
    case markRole:
        return QVariant::fromValue(int(mark(row)));
    default:
        return {};
    }
}
