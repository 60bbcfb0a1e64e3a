#include "notes/NotesReading.h"

#include "notes/NoteCells.h"

namespace {

// Reads the record that starts at `position` into `cells` (RFC 4180: cells quoted or not, "" for a quote
// inside quotes, line breaks inside quotes kept as written, CRLF, LF or CR ending a record) and moves
// `position` past it. False at the end of the text. A quote in the middle of an unquoted cell is taken
// as a character, as spreadsheets do.
bool readRecord(QStringView text, qsizetype& position, QStringList& cells, bool& unterminatedQuote)
{
    cells.clear();
    const qsizetype size = text.size();
    if (position >= size)
        return false;
    QString cell;
    bool quoted = false;
    bool atCellStart = true;
    while (position < size) {
        const QChar c = text[position++];
        if (quoted) {
            if (c != u'"') {
                cell += c;
            } else if (position < size && text[position] == u'"') {
                cell += c;
                ++position;
            } else {
                quoted = false;
            }
        } else if (c == u'"' && atCellStart) {
            quoted = true;
            atCellStart = false;
        } else if (c == u',') {
            cells.append(cell);
            cell.clear();
            atCellStart = true;
        } else if (c == u'\r' || c == u'\n') {
            if (c == u'\r' && position < size && text[position] == u'\n')
                ++position;
            cells.append(cell);
            return true;
        } else {
            cell += c;
            atCellStart = false;
        }
    }
    unterminatedQuote = unterminatedQuote || quoted;
    cells.append(cell);
    return true;
}

QStringView cellAt(const QStringList& cells, qsizetype column)
{
    return column >= 0 && column < cells.size() ? QStringView(cells.at(column)) : QStringView();
}

// The service puts an apostrophe before a text that starts with = + - or @ so that a spreadsheet does
// not run it as a formula; exactly that apostrophe comes off. A text the logger began with an apostrophe
// and one of those characters cannot be told from it, and loses its apostrophe too.
QString unneutralised(QStringView cell)
{
    if (cell.size() >= 2 && cell[0] == u'\'' && QStringView(u"=+-@").contains(cell[1]))
        return cell.mid(1).toString();
    return cell.toString();
}

}

std::optional<NotesReading> readNotesCsv(QByteArrayView csv)
{
    if (csv.startsWith("\xEF\xBB\xBF"))
        csv = csv.sliced(3);
    const QString text = QString::fromUtf8(csv);
    qsizetype position = 0;
    bool unterminatedQuote = false;
    QStringList cells;
    if (!readRecord(text, position, cells, unterminatedQuote))
        return std::nullopt;

    const auto column = [&](QStringView name) -> qsizetype {
        for (qsizetype i = 0; i < cells.size(); ++i)
            if (cells.at(i).trimmed().compare(name, Qt::CaseInsensitive) == 0)
                return i;
        return -1;
    };
    const qsizetype textColumn = column(u"text"), recordedColumn = column(u"recorded_at");
    const qsizetype writtenColumn = column(u"written_at"), idColumn = column(u"id");
    const qsizetype headerCells = cells.size();
    if (textColumn < 0)
        return std::nullopt;

    NotesReading reading;
    if (recordedColumn < 0)
        reading.problems.append(
            QStringLiteral("the notes have no recorded_at column: none of them has a recording time"));
    if (writtenColumn < 0)
        reading.problems.append(QStringLiteral("the notes have no written_at column"));

    qint64 row = 1;
    while (readRecord(text, position, cells, unterminatedQuote)) {
        ++row;
        if (cells.size() == 1 && cells.front().isEmpty())
            continue;
        const QString rowName = QStringLiteral("row %1").arg(row);
        if (textColumn >= cells.size()) {
            reading.problems.append(QStringLiteral("%1: no text cell; skipped").arg(rowName));
            continue;
        }
        if (cells.size() != headerCells)
            reading.problems.append(
                QStringLiteral("%1: %2 cells where the header has %3").arg(rowName).arg(cells.size()).arg(headerCells));
        LogNote note;
        note.text = unneutralised(cells.at(textColumn));
        bool idRead = false;
        if (idColumn >= 0)
            note.id = cellAt(cells, idColumn).trimmed().toLongLong(&idRead);
        if (!idRead)
            note.id = row - 1;
        if (recordedColumn >= 0)
            NoteCells::readRecordedAt(note, cellAt(cells, recordedColumn), rowName, reading.problems);
        if (writtenColumn >= 0)
            NoteCells::readWrittenAt(note, cellAt(cells, writtenColumn), rowName, reading.problems);
        reading.notes.push_back(std::move(note));
    }
    if (unterminatedQuote)
        reading.problems.append(QStringLiteral("the last cell's quotes are never closed; it runs to the end"));
    return reading;
}
