#pragma once

#include "clips/Clip.h"

#include <QAbstractTableModel>
#include <QBitArray>
#include <QList>

// The clip table's rows: one per clip record, showing its name and the loaded-clip mark. The mark lives
// here, as one loaded row and one flag, so that clearing every row's mark costs the same for 10 clips as
// for 100,000.
class ClipModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum class Mark { Unset, None, Unavailable };
    static constexpr int markRole = Qt::UserRole + 1;

    explicit ClipModel(QObject* parent = nullptr);

    // Replaces every row (the table's reload); all marks start unset.
    void setClips(const QList<Clip>& clips);

    // Every row shows the "none" mark.
    void clearMarks();
    // `row` shows the "unavailable" mark: it is the loaded clip.
    void markLoaded(int row);
    Mark mark(int row) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

private:
    QList<Clip> clips;
    bool marksShown = false;
    int loadedRow = -1;
    // The rows the table has asked for since the last reload: asking for a row the first time is when
    // the table makes it.
    mutable QBitArray rowsMade;
};
