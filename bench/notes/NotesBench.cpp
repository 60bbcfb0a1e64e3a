#include "notes/MarkerWriters.h"
#include "notes/NoteMatching.h"
#include "notes/NotesReading.h"
#include "support/Statistics.h"

#include <cmath>
#include <cstdio>

// Matching a day's notes to a day's clips and writing every marker format, at 10,000 notes against
// 1,000 clips (ten cameras at mixed rates, some clips overlapping the one before), and at a tenth of that,
// to show how the time grows against n log n.

namespace {

constexpr int cameras = 10;
constexpr int runs = 5;

struct Day
{
    std::vector<LogNote> notes;
    std::vector<MarkerClip> clips;
    QByteArray notesCsv; // the notes as the service's download
};

Day day(int noteCount, int clipCount)
{
    const FrameRate rates[] = { { 25, 1 }, { 30000, 1001 }, { 24000, 1001 }, { 50, 1 }, { 60000, 1001 }, { 24, 1 },
        { 30, 1 }, { 25, 1 }, { 30000, 1001 }, { 50, 1 } };
    const QDateTime morning = QDateTime::fromString(QStringLiteral("2026-12-07T08:00:00.000+01:00"), Qt::ISODateWithMs);
    Day made;
    const int perCamera = clipCount / cameras;
    qint64 lastEnd = 0;
    for (int camera = 0; camera < cameras; ++camera) {
        qint64 at = camera * 7'000; // milliseconds after the morning
        for (int i = 0; i < perCamera; ++i) {
            MarkerClip clip;
            clip.name = QStringLiteral("%1%2C%3.mov").arg(QChar(u'A' + camera)).arg(1, 3, 10, QChar(u'0')).arg(i + 1);
            clip.path = QStringLiteral("/media/card/") + clip.name;
            clip.durationSeconds = 120 + (i * 37) % 180;
            // Every fifth clip starts five seconds before the one before it ended.
            at += i % 5 == 4 ? -5'000 : 10'000;
            clip.recordingStart = morning.addMSecs(at);
            clip.rate = rates[camera];
            clip.startTimecode = clip.rate->allowsDropFrame() ? QStringLiteral("08:00:00;02") : QStringLiteral("08:00:00:00");
            clip.width = 1920;
            clip.height = 1080;
            made.clips.push_back(clip);
            at += qint64(clip.durationSeconds * 1000);
        }
        lastEnd = std::max(lastEnd, at);
    }
    made.notesCsv = "recorded_at,written_at,text\r\n";
    for (int i = 0; i < noteCount; ++i) {
        LogNote note;
        note.id = i + 1;
        // Spread over the day, a tenth of them written with no clip loaded.
        if (i % 10 != 9)
            note.recordedAt = morning.addMSecs(lastEnd * i / noteCount + (i * 7919) % 1000);
        note.writtenAt = morning.addSecs(i);
        note.text = QStringLiteral("Note %1: \"wide\" <shot> & a comma, then\na second line").arg(i);
        made.notesCsv += (note.recordedAt ? note.recordedAt->toString(Qt::ISODateWithMs).toUtf8() : QByteArray()) + ','
            + note.writtenAt.toString(Qt::ISODate).toUtf8() + ",\"" + note.text.toUtf8().replace('"', "\"\"") + "\"\r\n";
        made.notes.push_back(note);
    }
    return made;
}

struct Figures
{
    double read = 0, match = 0;
    double write[4] = {};
    qsizetype markers = 0;
};

Figures measure(const Day& day)
{
    Figures figures;
    figures.read = Bench::median(Bench::timeRuns(runs, [&] { readNotesCsv(day.notesCsv); }));
    figures.match = Bench::median(Bench::timeRuns(runs, [&] { matchNotes(day.notes, day.clips); }));
    const MarkerPlan plan = matchNotes(day.notes, day.clips);
    figures.markers = plan.markerCount();
    int index = 0;
    for (MarkerFormat format : { MarkerFormat::Fcpxml, MarkerFormat::Xmeml, MarkerFormat::Ale, MarkerFormat::Csv })
        figures.write[index++]
            = Bench::median(Bench::timeRuns(runs, [&] { writeMarkers(format, plan, QStringLiteral("Day 1")); }));
    return figures;
}

void print(const char* label, const Figures& figures)
{
    std::printf("%s: %lld markers; read CSV %.1f ms, match %.1f ms, write fcpxml %.1f ms, xmeml %.1f ms, "
                "ale %.1f ms, csv %.1f ms (medians of %d)\n",
        label, static_cast<long long>(figures.markers), figures.read, figures.match, figures.write[0],
        figures.write[1], figures.write[2], figures.write[3], runs);
}

}

int main()
{
    const Figures small = measure(day(1'000, 100));
    const Figures large = measure(day(10'000, 1'000));
    print("1,000 notes x 100 clips", small);
    print("10,000 notes x 1,000 clips", large);
    const double nLogN = (10'000 * std::log(10'000.0)) / (1'000 * std::log(1'000.0));
    std::printf("growth, 10x the notes and clips: read %.1fx, match %.1fx, fcpxml %.1fx, xmeml %.1fx, ale %.1fx, "
                "csv %.1fx; n log n grows %.1fx (goal: each large figure <= 1000 ms)\n",
        large.read / small.read, large.match / small.match, large.write[0] / small.write[0],
        large.write[1] / small.write[1], large.write[2] / small.write[2], large.write[3] / small.write[3], nLogN);
    return 0;
}
