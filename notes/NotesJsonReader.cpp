#include "notes/NotesReading.h"

#include "notes/NoteCells.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

std::optional<NotesReading> readNotesJson(QByteArrayView json)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(json.toByteArray(), &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return std::nullopt;
    const QJsonValue notes = document.object().value(QLatin1String("notes"));
    if (!notes.isArray())
        return std::nullopt;

    NotesReading reading;
    const QJsonArray entries = notes.toArray();
    reading.notes.reserve(size_t(entries.size()));
    for (qsizetype index = 0; index < entries.size(); ++index) {
        const QString row = QStringLiteral("note %1").arg(index + 1);
        const QJsonValue entry = entries.at(index);
        const QJsonValue text = entry.toObject().value(QLatin1String("text"));
        if (!entry.isObject() || !text.isString()) {
            reading.problems.append(QStringLiteral("%1: no text; skipped").arg(row));
            continue;
        }
        const QJsonObject object = entry.toObject();
        LogNote note;
        note.text = text.toString();
        const QJsonValue id = object.value(QLatin1String("id"));
        // JSON numbers are doubles: an id is whole and within what a double holds exactly.
        const double idNumber = id.toDouble(-1);
        if (id.isDouble() && idNumber >= 0 && idNumber <= 9007199254740992.0 && idNumber == qint64(idNumber))
            note.id = qint64(idNumber);
        else
            reading.problems.append(QStringLiteral("%1: no id that is a whole number").arg(row));

        const QJsonValue recordedAt = object.value(QLatin1String("recorded_at"));
        if (recordedAt.isString())
            NoteCells::readRecordedAt(note, recordedAt.toString(), row, reading.problems);
        else if (!recordedAt.isNull() && !recordedAt.isUndefined())
            reading.problems.append(
                QStringLiteral("%1: the recording time is not a text; the note is kept without it").arg(row));
        NoteCells::readWrittenAt(note, object.value(QLatin1String("written_at")).toString(), row, reading.problems);
        reading.notes.push_back(std::move(note));
    }
    return reading;
}
