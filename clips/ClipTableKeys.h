#pragma once

#include <QObject>

class QTableView;

// Return in the clip table loads the clip under the cursor. Right after a scan, when no clip is selected,
// ↓ and ↑ load the clip under the cursor (the first one) instead of moving past it: the keyboard alone
// picks a clip.
class ClipTableKeys : public QObject
{
    Q_OBJECT

public:
    explicit ClipTableKeys(QTableView* table);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QTableView* table;
};
