#include "notes/MarkerListModel.h"

#include <algorithm>

MarkerListModel::MarkerListModel(QObject* parent)
    : QAbstractTableModel(parent)
{
}

void MarkerListModel::setMarkers(const std::vector<Marker>& markers)
{
    const auto sameNote = [](const Marker& a, const Marker& b) { return a.noteId == b.noteId && a.frame == b.frame; };
    // The common case while a logger writes: the same notes and one more at the end of the clip's order.
    const bool appended = markers.size() > rows.size()
        && std::equal(rows.begin(), rows.end(), markers.begin(), markers.begin() + qsizetype(rows.size()), sameNote);
    if (appended) {
        beginInsertRows({}, int(rows.size()), int(markers.size()) - 1);
        rows = markers;
        endInsertRows();
        return;
    }
    if (std::equal(rows.begin(), rows.end(), markers.begin(), markers.end(), sameNote)) {
        rows = markers;
        if (!rows.empty())
            emit dataChanged(index(0, 0), index(int(rows.size()) - 1, ColumnCount - 1));
        return;
    }
    beginResetModel();
    rows = markers;
    endResetModel();
}

int MarkerListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(rows.size());
}

int MarkerListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant MarkerListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= int(rows.size()))
        return {};
    const Marker& marker = rows[std::size_t(index.row())];
    if (role == Qt::ToolTipRole) {
        // The place of a note on a clip dated by its file is only as good as that file time.
        return marker.approximate
            ? tr("%1\nThe clip carries no recording date of its own: this place is approximate.").arg(marker.text)
            : marker.text;
    }
    if (role != Qt::DisplayRole)
        return {};
    switch (index.column()) {
    case SourceTimecode:
        return marker.approximate ? QStringLiteral("≈ ") + marker.sourceTimecode : marker.sourceTimecode;
    case TimeOfDay:
        return marker.recordedAt.toLocalTime().toString(QStringLiteral("HH:mm:ss"));
    case Text:
        // One line in the list; the whole note is in the tooltip.
        return QString(marker.text).replace(QLatin1Char('\n'), QLatin1Char(' '));
    default:
        return {};
    }
}

QVariant MarkerListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    switch (section) {
    case SourceTimecode:
        return tr("Timecode");
    case TimeOfDay:
        return tr("Recorded");
    case Text:
        return tr("Note");
    default:
        return {};
    }
}
