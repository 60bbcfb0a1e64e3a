#include "logservice/NotesJson.h"

#include <cstdlib>

namespace {

constexpr char hexDigits[] = "0123456789abcdef";

void appendUnicodeEscape(QByteArray& json, char16_t unit)
{
    json += "\\u";
    for (const int shift : { 12, 8, 4, 0 })
        json += hexDigits[(unit >> shift) & 0xf];
}

// The text as a JSON string, written straight as UTF-8: runs that need no escape are copied whole.
void appendJsonString(QByteArray& json, const QString& text)
{
    const QByteArray utf8 = text.toUtf8();
    const char* run = utf8.constData();
    const char* const end = run + utf8.size();
    json += '"';
    for (const char* at = run; at < end; ++at) {
        const auto byte = static_cast<unsigned char>(*at);
        // U+2028 and U+2029, the two line ends that JavaScript source does not allow inside a string.
        const bool lineSeparator = byte == 0xe2 && end - at >= 3 && static_cast<unsigned char>(at[1]) == 0x80
            && (static_cast<unsigned char>(at[2]) == 0xa8 || static_cast<unsigned char>(at[2]) == 0xa9);
        // Markup characters too, so that no browser can read the body as a page.
        const bool escaped = byte < 0x20 || byte == '"' || byte == '\\' || byte == '<' || byte == '>'
            || byte == '&' || lineSeparator;
        if (!escaped)
            continue;
        json.append(run, at - run);
        switch (byte) {
        case '"':
            json += "\\\"";
            break;
        case '\\':
            json += "\\\\";
            break;
        case '\n':
            json += "\\n";
            break;
        case '\r':
            json += "\\r";
            break;
        case '\t':
            json += "\\t";
            break;
        default:
            if (lineSeparator) {
                appendUnicodeEscape(json, static_cast<unsigned char>(at[2]) == 0xa8 ? u'\u2028' : u'\u2029');
                at += 2;
            } else {
                appendUnicodeEscape(json, byte);
            }
        }
        run = at + 1;
    }
    json.append(run, end - run);
    json += '"';
}

void appendDigits(QByteArray& text, int value, int width)
{
    char digits[8];
    for (int i = width - 1; i >= 0; --i, value /= 10)
        digits[i] = static_cast<char>('0' + value % 10);
    text.append(digits, width);
}

// As isoTimeWithMilliseconds, without a QString and a format to read for each of the two times of every
// note.
void appendIsoTime(QByteArray& text, const QDateTime& moment)
{
    const QDate date = moment.date();
    const QTime time = moment.time();
    appendDigits(text, date.year(), 4);
    text += '-';
    appendDigits(text, date.month(), 2);
    text += '-';
    appendDigits(text, date.day(), 2);
    text += 'T';
    appendDigits(text, time.hour(), 2);
    text += ':';
    appendDigits(text, time.minute(), 2);
    text += ':';
    appendDigits(text, time.second(), 2);
    text += '.';
    appendDigits(text, time.msec(), 3);
    const int offsetMinutes = moment.offsetFromUtc() / 60;
    text += offsetMinutes < 0 ? '-' : '+';
    appendDigits(text, std::abs(offsetMinutes) / 60, 2);
    text += ':';
    appendDigits(text, std::abs(offsetMinutes) % 60, 2);
}

void appendQuotedTime(QByteArray& json, const QDateTime& moment)
{
    json += '"';
    appendIsoTime(json, moment.toLocalTime());
    json += '"';
}

}

QString isoTimeWithMilliseconds(const QDateTime& moment)
{
    QByteArray text;
    appendIsoTime(text, moment);
    return QString::fromLatin1(text);
}

QByteArray notesJson(const QList<StoredNote>& notes)
{
    // About what a short note takes, so that a long list grows its buffer only a few times.
    constexpr qsizetype typicalNoteBytes = 160;
    QByteArray json = "{\"notes\":[";
    json.reserve(notes.size() * typicalNoteBytes);
    for (qsizetype i = 0; i < notes.size(); ++i) {
        const StoredNote& stored = notes.at(i);
        if (i > 0)
            json += ',';
        json += "{\"id\":" + QByteArray::number(stored.id) + ",\"recorded_at\":";
        if (stored.note.recordedAt)
            appendQuotedTime(json, *stored.note.recordedAt);
        else
            json += "null";
        json += ",\"written_at\":";
        appendQuotedTime(json, stored.note.writtenAt);
        json += ",\"text\":";
        appendJsonString(json, stored.note.text);
        json += '}';
    }
    json += "]}";
    return json;
}

QByteArray jsonError(const QString& message)
{
    QByteArray json = "{\"error\":";
    appendJsonString(json, message);
    json += '}';
    return json;
}
