// The notes' readers and the marker writers: any download is read without harm; any texts a logger types
// come back from the marker CSV exactly (less the apostrophe a formula-like text cannot be told from), and
// make well-formed XML in both XML formats.
#include "FuzzInput.h"

#include "notes/MarkerWriters.h"
#include "notes/NotesReading.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <QXmlStreamReader>

namespace {

void checkReading(const std::optional<NotesReading>& reading)
{
    if (!reading)
        return;
    for (const LogNote& note : reading->notes)
        FUZZ_ASSERT(!note.recordedAtAssumedLocal || note.recordedAt);
}

bool wellFormed(const QByteArray& document)
{
    QXmlStreamReader xml(document);
    while (!xml.atEnd())
        xml.readNext();
    return !xml.hasError();
}

}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider input(data, size);
    const QDateTime start = QDateTime::fromMSecsSinceEpoch(1'796'000'000'000, Qt::UTC);
    std::vector<LogNote> notes;
    const int count = input.ConsumeIntegralInRange(0, 6);
    for (int i = 0; i < count; ++i) {
        LogNote note;
        note.id = i + 1;
        note.recordedAt = start.addMSecs(input.ConsumeIntegralInRange(-100, 2'100));
        note.text = QString::fromUtf8(input.ConsumeRandomLengthString(80));
        notes.push_back(note);
    }
    MarkerClip clip;
    clip.name = QString::fromUtf8(input.ConsumeRandomLengthString(20));
    clip.path = QLatin1Char('/') + clip.name;
    clip.recordingStart = start;
    clip.durationSeconds = 2;
    clip.rate = FrameRate { 30000, 1001 };
    clip.startTimecode = QStringLiteral("01:00:00;00");
    const MarkerPlan plan = matchNotes(notes, { clip });
    FUZZ_ASSERT(plan.markerCount() + qsizetype(plan.unplaced.size()) == count);

    const auto reading = readNotesCsv(writeMarkers(MarkerFormat::Csv, plan, clip.name));
    FUZZ_ASSERT(reading && reading->notes.size() == size_t(count));
    QStringList written, read;
    for (const ClipMarkers& markers : plan.clips)
        for (const Marker& marker : markers.markers)
            written.append(marker.text);
    for (const LogNote& note : plan.unplaced)
        written.append(note.text);
    for (QString& text : written)
        if (text.size() >= 2 && text[0] == u'\'' && QStringView(u"=+-@").contains(text[1]))
            text.remove(0, 1);
    for (const LogNote& note : reading->notes)
        read.append(note.text);
    FUZZ_ASSERT(read == written);
    FUZZ_ASSERT(wellFormed(writeMarkers(MarkerFormat::Fcpxml, plan, clip.name)));
    FUZZ_ASSERT(wellFormed(writeMarkers(MarkerFormat::Xmeml, plan, clip.name)));

    const std::string download = input.ConsumeRemainingBytesAsString();
    const QByteArray bytes = QByteArray::fromStdString(download);
    checkReading(readNotesCsv(bytes));
    checkReading(readNotesJson(bytes));
    return 0;
}
