// The notes' CSV download: notes made of any text and times, written as CSV and read back by a strict
// RFC 4180 reader, give back the same cells, with the apostrophe before a text a spreadsheet would run as
// a formula.
#include "FuzzInput.h"

#include "logservice/NotesCsv.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <QStringList>

#include <optional>

namespace {

// 1970 to 2100: the times a note can carry.
constexpr qint64 latestMs = 4'102'444'800'000;

// Rows of cells; nothing when the text breaks RFC 4180 (a quote inside an unquoted cell, text after a
// closing quote, a line end other than CRLF, a missing final line end).
std::optional<QList<QStringList>> readCsv(const QString& csv)
{
    QList<QStringList> rows;
    QStringList row;
    QString cell;
    bool quoted = false;
    bool closed = false;
    for (qsizetype i = 0; i < csv.size(); ++i) {
        const QChar c = csv.at(i);
        if (quoted) {
            if (c != u'"') {
                cell += c;
            } else if (i + 1 < csv.size() && csv.at(i + 1) == u'"') {
                cell += c;
                ++i;
            } else {
                quoted = false;
                closed = true;
            }
        } else if (c == u',') {
            row.append(cell);
            cell.clear();
            closed = false;
        } else if (c == u'\r') {
            if (i + 1 >= csv.size() || csv.at(i + 1) != u'\n')
                return std::nullopt;
            ++i;
            row.append(cell);
            rows.append(row);
            row.clear();
            cell.clear();
            closed = false;
        } else if (closed || c == u'\n' || (c == u'"' && !cell.isEmpty())) {
            return std::nullopt;
        } else if (c == u'"') {
            quoted = true;
        } else {
            cell += c;
        }
    }
    if (quoted || !cell.isEmpty() || !row.isEmpty())
        return std::nullopt;
    return rows;
}

}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider input(data, size);
    QList<Note> notes;
    const int count = input.ConsumeIntegralInRange(0, 8);
    for (int i = 0; i < count; ++i) {
        std::optional<QDateTime> recorded;
        if (input.ConsumeBool())
            recorded
                = QDateTime::fromMSecsSinceEpoch(input.ConsumeIntegralInRange<qint64>(0, latestMs), Qt::UTC);
        const QDateTime written
            = QDateTime::fromMSecsSinceEpoch(input.ConsumeIntegralInRange<qint64>(0, latestMs), Qt::UTC);
        const std::string text = input.ConsumeRandomLengthString(256);
        notes.append(
            { QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())), recorded, written });
    }

    const QByteArray csv = notesCsv(notes);
    const QString decoded = QString::fromUtf8(csv);
    FUZZ_ASSERT(decoded.toUtf8() == csv);
    const auto rows = readCsv(decoded);
    FUZZ_ASSERT(rows && rows->size() == notes.size() + 1);
    FUZZ_ASSERT(rows->first()
        == QStringList(
            { QStringLiteral("recorded_at"), QStringLiteral("written_at"), QStringLiteral("text") }));
    for (qsizetype i = 0; i < notes.size(); ++i) {
        const QStringList& cells = rows->at(i + 1);
        const Note& note = notes.at(i);
        FUZZ_ASSERT(cells.size() == 3);
        if (note.recordedAt)
            FUZZ_ASSERT(QDateTime::fromString(cells.at(0), Qt::ISODateWithMs) == *note.recordedAt);
        else
            FUZZ_ASSERT(cells.at(0).isEmpty());
        FUZZ_ASSERT(QDateTime::fromString(cells.at(1), Qt::ISODateWithMs) == note.writtenAt);
        const bool formula = !note.text.isEmpty() && QStringView(u"=+-@").contains(note.text.front());
        FUZZ_ASSERT(cells.at(2) == (formula ? QLatin1Char('\'') + note.text : note.text));
    }
    return 0;
}
