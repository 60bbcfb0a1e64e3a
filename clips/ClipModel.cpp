#include "clips/ClipModel.h"
#include "clips/ClipTableText.h"
#include "clips/StatusIcons.h"
#include "core/Console.h"

#include <QFont>
#include <QGuiApplication>
#include <QPalette>

#include <QTextDocument>

ClipModel::ClipModel(QObject* parent)
    : QAbstractTableModel(parent)
{
}

void ClipModel::setClips(const QList<Clip>& newClips)
{
    beginResetModel();
    clips = newClips;
    details = QList<Details>(clips.size());
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
        emit dataChanged(index(0, Name), index(rowCount() - 1, Name), { Qt::DecorationRole, markRole });
    } else if (formerRow >= 0) {
        emit dataChanged(index(formerRow, Name), index(formerRow, Name), { Qt::DecorationRole, markRole });
    }
}

void ClipModel::markLoaded(int row)
{
    if (row < 0 || row >= clips.size())
        return;
    loadedRow = row;
    emit dataChanged(index(row, Name), index(row, Name), { Qt::DecorationRole, markRole });
}

ClipModel::Mark ClipModel::mark(int row) const
{
    if (row == loadedRow)
        return Mark::Unavailable;
    return marksShown ? Mark::None : Mark::Unset;
}

bool ClipModel::isMetadataPending(int row) const
{
    return row >= 0 && row < details.size() && details[row].pending;
}

void ClipModel::setMetadata(int row, const ClipMetadata::Reading& reading, const RecordingStart::Choice& start)
{
    if (row < 0 || row >= clips.size())
        return;
    clips[row].start = start;
    details[row] = Details { false, reading.metadata, reading.failure };
    // The name's mark tells a file that is no clip from the others.
    emit dataChanged(index(row, reading.metadata ? Start : Name), index(row, ColumnCount - 1));
}

const std::optional<ClipMetadata>& ClipModel::metadata(int row) const
{
    return details.at(row).metadata;
}

std::optional<ClipInput::Failure> ClipModel::failure(int row) const
{
    const Details& read = details.at(row);
    if (read.pending || read.metadata)
        return std::nullopt;
    return read.failure;
}

RecordingStart::Source ClipModel::dateSource(int row) const
{
    return clips.at(row).start.source;
}

int ClipModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(clips.size());
}

int ClipModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant ClipModel::display(int row, int column) const
{
    const std::optional<ClipMetadata>& metadata = details[row].metadata;
    switch (column) {
    case Name:
        return clips[row].name;
    case Start:
        return ClipTableText::recordingStart(clips[row].start.moment);
    case Duration:
        return metadata ? ClipTableText::duration(metadata->duration, metadata->frameRate) : QString();
    case StartTimecode:
        return metadata ? metadata->timecode : QString();
    case Format:
        if (const auto why = failure(row))
            return ClipTableText::failure(*why, clips[row].name);
        return metadata ? ClipTableText::format(*metadata) : QString();
    }
    return {};
}

QVariant ClipModel::sortValue(int row, int column) const
{
    switch (column) {
    case Start:
        return clips[row].start.moment.toSecsSinceEpoch();
    case Duration:
        return details[row].metadata ? details[row].metadata->duration : 0.0;
    default:
        return display(row, column);
    }
}

QVariant ClipModel::toolTip(int row, int column) const
{
    if (column == Name)
        return clips[row].path;
    if (column == Start)
        return ClipTableText::recordingStartSource(clips[row].start.source, details[row].pending);
    return display(row, column);
}

QVariant ClipModel::data(const QModelIndex& index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid))
        return {};
    const int row = index.row();
    const int column = index.column();
    switch (role) {
    case Qt::DisplayRole:
        if (column == Name && !rowsMade.testBit(row)) {
            rowsMade.setBit(row);
            consoleLine(QStringLiteral("tableView viewForTableColumn"));
        }
        return display(row, column);
    // A tool tip that looks like markup is shown as markup, and a path or a clip's own text may look like
    // it: each tip goes as rich text that says it literally.
    case Qt::ToolTipRole:
        return Qt::convertFromPlainText(toolTip(row, column).toString(), Qt::WhiteSpaceNoWrap);
    case Qt::DecorationRole:
        if (column != Name)
            return {};
        switch (mark(row)) {
        case Mark::Unset:
        case Mark::None:
            // A file that cannot be read says so before any clip is loaded.
            if (failure(row))
                return StatusIcons::unreadable();
            if (mark(row) == Mark::Unset)
                return {};
            return StatusIcons::none();
        case Mark::Unavailable:
            return StatusIcons::unavailable();
        }
        return {};
    case Qt::ForegroundRole:
        // A recording start that is only the file's date is shown as less certain.
        if ((column == Start && clips[row].start.source != RecordingStart::Source::Clip)
            || (column == Format && failure(row)))
            return QGuiApplication::palette().brush(QPalette::PlaceholderText);
        return {};
    case Qt::FontRole:
        if (column == Start && clips[row].start.source != RecordingStart::Source::Clip && !details[row].pending) {
            QFont font;
            font.setItalic(true);
            return font;
        }
        return {};
    case Qt::TextAlignmentRole:
        if (column == Duration || column == StartTimecode)
            return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
        return {};
    case markRole:
        return column == Name ? QVariant::fromValue(int(mark(row))) : QVariant();
    case sortRole:
        return sortValue(row, column);
    default:
        return {};
    }
}

QVariant ClipModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    // A column clicked for the first time sorts from the top: A to Z, earliest first, shortest first.
    if (orientation == Qt::Horizontal && role == Qt::InitialSortOrderRole)
        return QVariant::fromValue(int(Qt::AscendingOrder));
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    switch (section) {
    case Name:
        return tr("Name");
    case Start:
        return tr("Recording start");
    case Duration:
        return tr("Duration");
    case StartTimecode:
        return tr("Start TC");
    case Format:
        return tr("Format");
    }
    return {};
}
