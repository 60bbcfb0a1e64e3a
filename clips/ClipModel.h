#pragma once

#include "clips/Clip.h"
#include "clips/ClipMetadata.h"
#include "clips/RecordingStart.h"

#include <QAbstractTableModel>
#include <QBitArray>
#include <QList>

#include <optional>

// The clip table's rows, one per clip record in scan order: name (with the loaded-clip mark), recording
// start, duration, start timecode and format. The columns after the name fill in as each clip's
// metadata arrives. The mark lives here, as one loaded row and one flag, so that clearing every row's
// mark costs the same for 10 clips as for 100,000.
class ClipModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column { Name, Start, Duration, StartTimecode, Format, ColumnCount };
    enum class Mark { Unset, None, Unavailable };
    static constexpr int markRole = Qt::UserRole + 1;
    // What a column sorts by: the name as text, the recording start as its UTC text (which sorts as
    // time does), the duration in seconds, the timecode and format texts.
    static constexpr int sortRole = Qt::UserRole + 2;

    explicit ClipModel(QObject* parent = nullptr);

    // Replaces every row (the table's reload); all marks start unset and every row's metadata pending.
    void setClips(const QList<Clip>& clips);

    // Every row shows the "none" mark.
    void clearMarks();
    // `row` shows the "unavailable" mark: it is the loaded clip.
    void markLoaded(int row);
    Mark mark(int row) const;

    // Whether the clip's metadata has not been read yet.
    bool isMetadataPending(int row) const;
    // The clip's metadata has been read (or why it could not be): the row shows it, with `start` as its
    // recording start.
    void setMetadata(int row, const ClipMetadata::Reading& reading, const RecordingStart::Choice& start);
    const std::optional<ClipMetadata>& metadata(int row) const;
    // Why the clip's metadata could not be read; nothing while it is pending or when it was read.
    std::optional<ClipInput::Failure> failure(int row) const;
    // Which date the row's recording start is.
    RecordingStart::Source dateSource(int row) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    struct Details
    {
        bool pending = true;
        std::optional<ClipMetadata> metadata;
        ClipInput::Failure failure = ClipInput::Failure::Unreadable; // when read without metadata
    };

    QVariant display(int row, int column) const;
    QVariant toolTip(int row, int column) const;
    QVariant sortValue(int row, int column) const;

    QList<Clip> clips;
    QList<Details> details;
    bool marksShown = false;
    int loadedRow = -1;
    // The rows the table has asked for since the last reload: asking for a row the first time is when
    // the table makes it.
    mutable QBitArray rowsMade;
};
