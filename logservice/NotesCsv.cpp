#include "logservice/NotesCsv.h"

#include "logservice/RecordingTime.h"

#include <QStringList>

namespace {

QString csvCell(const QString& value)
{
    QString cell = value;
    if (!cell.isEmpty() && QStringLiteral("=+-@").contains(cell.front()))
        cell.prepend(QLatin1Char('\''));
    if (cell.contains(QLatin1Char(',')) || cell.contains(QLatin1Char('"')) || cell.contains(QLatin1Char('\n'))
        || cell.contains(QLatin1Char('\r')))
        cell = QLatin1Char('"') + cell.replace(QLatin1Char('"'), QLatin1String("\"\"")) + QLatin1Char('"');
    return cell;
}

}

QByteArray notesCsv(const QList<Note>& notes)
{
    QString csv = QStringLiteral("recorded_at,written_at,text\r\n");
    for (const Note& note : notes) {
        const QStringList cells { note.recordedAt ? isoLocalTime(*note.recordedAt) : QString(),
            isoLocalTime(note.writtenAt), csvCell(note.text) };
        csv += cells.join(QLatin1Char(',')) + QLatin1String("\r\n");
    }
    return csv.toUtf8();
}
