#pragma once

#include "notes/NoteMatching.h"

#include <QAbstractTableModel>

#include <vector>

// The notes on the loaded clip, as the list under the player shows them: source timecode, time of day
// and text, in the order of their frames. The time of day is the recording time in the logger's zone.
class MarkerListModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column { SourceTimecode, TimeOfDay, Text, ColumnCount };

    explicit MarkerListModel(QObject* parent = nullptr);

    // Replaces the rows; markers whose notes are already shown keep their rows, so that a selection in
    // the list survives the notes that come in while the logger works.
    void setMarkers(const std::vector<Marker>& markers);
    const std::vector<Marker>& markers() const { return rows; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    std::vector<Marker> rows;
};
