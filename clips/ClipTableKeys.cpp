#include "clips/ClipTableKeys.h"

#include <QKeyEvent>
#include <QTableView>

ClipTableKeys::ClipTableKeys(QTableView* table)
    : QObject(table)
    , table(table)
{
    table->installEventFilter(this);
}

bool ClipTableKeys::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != table || event->type() != QEvent::KeyPress)
        return false;
    const int key = static_cast<QKeyEvent*>(event)->key();
    const bool choosing = key == Qt::Key_Return || key == Qt::Key_Enter;
    // The focus puts the cursor on the first row without selecting it; ↓ from there would skip it.
    const bool firstStep
        = (key == Qt::Key_Down || key == Qt::Key_Up) && !table->selectionModel()->hasSelection();
    if (!(choosing || firstStep) || !table->model() || table->model()->rowCount() == 0)
        return false;
    const QModelIndex current = table->currentIndex();
    table->selectRow(current.isValid() ? current.row() : 0);
    return true;
}
