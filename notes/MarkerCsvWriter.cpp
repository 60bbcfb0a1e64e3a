#include "notes/MarkerWriting.h"

#include "notes/NoteTime.h"

// The markers as a table (RFC 4180, CRLF), one row per marker, then every unplaced note with its clip,
// timecode and frame left empty, so that no note is missing from the export. As in the log service's
// own download, a cell that starts with = + - or @ gets a leading apostrophe, so that a spreadsheet
// shows it instead of running it as a formula.

namespace {

QString csvCell(const QString& value)
{
    QString cell = value;
    if (!cell.isEmpty() && QStringView(u"=+-@").contains(cell.front()))
        cell.prepend(u'\'');
    if (cell.contains(u',') || cell.contains(u'"') || cell.contains(u'\n') || cell.contains(u'\r'))
        cell = u'"' + cell.replace(u'"', QLatin1String("\"\"")) + u'"';
    return cell;
}

void appendRow(QString& csv, std::initializer_list<QString> cells)
{
    bool first = true;
    for (const QString& value : cells) {
        if (!first)
            csv += u',';
        csv += csvCell(value);
        first = false;
    }
    csv += QLatin1String("\r\n");
}

}

namespace MarkerWriting {

QByteArray csv(const MarkerPlan& plan)
{
    QString csv;
    csv.reserve((plan.markerCount() + qsizetype(plan.unplaced.size())) * 160);
    appendRow(csv,
        { QStringLiteral("clip"), QStringLiteral("source timecode"), QStringLiteral("recording time"),
            QStringLiteral("frame"), QStringLiteral("text"), QStringLiteral("approximate") });
    for (const ClipMarkers& clip : plan.clips)
        for (const Marker& marker : clip.markers)
            appendRow(csv,
                { clip.clip.name, marker.sourceTimecode, NoteTime::text(marker.recordedAt),
                    QString::number(marker.frame), marker.text,
                    marker.approximate ? QStringLiteral("yes") : QStringLiteral("no") });
    for (const LogNote& note : plan.unplaced)
        appendRow(csv,
            { QString(), QString(), note.recordedAt ? NoteTime::text(*note.recordedAt) : QString(), QString(),
                note.text, QString() });
    return csv.toUtf8();
}

}
