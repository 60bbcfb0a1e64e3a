#include "clips/ClipMetadata.h"
#include "clips/ClipScan.h"
#include "clips/MarkerClips.h"
#include "clips/TypeIdentifiers.h"
#include "notes/MarkerWriters.h"
#include "notes/NoteMatching.h"
#include "notes/NotesReading.h"

#include <QCollator>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

extern "C" {
#include <libavformat/avformat.h>
}

#include <algorithm>
#include <cstdio>

// tapescribe-markers: the logger's notes (the log service's CSV or JSON download) as markers on the
// clips of folders, for an editing application. The clips are found, dated and read as the application
// does, so a note lands on the frame the logger saw.

namespace {

constexpr int failureStatus = 1;
constexpr int usageStatus = 2;

void say(const QString& line)
{
    std::fputs(qPrintable(line + u'\n'), stderr);
}

int fail(const QString& message, int status = failureStatus)
{
    say(QStringLiteral("tapescribe-markers: ") + message);
    return status;
}

// The containers this FFmpeg opens, by demuxer name: the same list the application's types come from.
QStringList demuxers()
{
    QStringList names;
    void* position = nullptr;
    while (const AVInputFormat* format = av_demuxer_iterate(&position))
        names.append(QString::fromLatin1(format->name));
    return names;
}

}

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("tapescribe-markers"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Writes the log service's notes as markers on the clips of PATHs (clips, or folders of clips)."));
    const QCommandLineOption notesOption(QStringLiteral("notes"),
        QStringLiteral("The notes: the log service's CSV (or JSON) download."), QStringLiteral("NOTES"));
    const QCommandLineOption formatOption(QStringLiteral("format"),
        QStringLiteral("fcpxml, xmeml, ale or csv."), QStringLiteral("FORMAT"));
    const QCommandLineOption outputOption(QStringLiteral("output"), QStringLiteral("The file to write."),
        QStringLiteral("FILE"));
    parser.addOptions({ notesOption, formatOption, outputOption });
    parser.addHelpOption();
    parser.addPositionalArgument(QStringLiteral("PATH"), QStringLiteral("A clip, or a folder of clips."),
        QStringLiteral("PATH..."));
    if (!parser.parse(QCoreApplication::arguments()))
        return fail(parser.errorText() + u'\n' + parser.helpText(), usageStatus);
    if (parser.isSet(QStringLiteral("help"))) {
        std::fputs(qPrintable(parser.helpText()), stdout);
        return 0;
    }
    for (const QCommandLineOption& needed : { notesOption, formatOption, outputOption })
        if (!parser.isSet(needed))
            return fail(QStringLiteral("--%1 is missing\n").arg(needed.names().front()) + parser.helpText(), usageStatus);
    const auto format = markerFormatFromName(parser.value(formatOption));
    if (!format)
        return fail(QStringLiteral("unknown format '%1': fcpxml, xmeml, ale or csv").arg(parser.value(formatOption)),
            usageStatus);
    const QStringList paths = parser.positionalArguments();
    if (paths.isEmpty())
        return fail(QStringLiteral("no clip or folder given\n") + parser.helpText(), usageStatus);

    const QString notesPath = parser.value(notesOption);
    QFile notesFile(notesPath);
    if (!notesFile.open(QIODevice::ReadOnly))
        return fail(QStringLiteral("cannot read the notes %1: %2").arg(notesPath, notesFile.errorString()));
    const QByteArray notesData = notesFile.readAll();
    auto reading = readNotesCsv(notesData);
    if (!reading)
        reading = readNotesJson(notesData);
    if (!reading)
        return fail(QStringLiteral("%1 is not the log service's notes: neither a CSV with a text column nor its JSON")
                        .arg(notesPath));

    const QStringList acceptedTypes = TypeIdentifiers::playableTypes(demuxers());
    std::vector<MarkerClip> clips;
    QStringList problems = reading->problems;
    for (const QString& given : paths) {
        const QString path = QDir::cleanPath(QFileInfo(given).absoluteFilePath());
        const ClipScan::Outcome scanned = ClipScan::scan(path, acceptedTypes, [](const QString&) { });
        if (scanned.listingFailure)
            problems.append(QStringLiteral("%1: cannot be listed: %2").arg(given, *scanned.listingFailure));
        // In the clip table's order, by name as people count (A001C2 before A001C10), not the listing's.
        QList<Clip> found = scanned.clips;
        QCollator naturalOrder;
        naturalOrder.setNumericMode(true);
        std::stable_sort(found.begin(), found.end(),
            [&](const Clip& a, const Clip& b) { return naturalOrder.compare(a.name, b.name) < 0; });
        // Each clip is dated as the application dates it, its own date first, else the scan's file date
        // (then approximate), so that the notes stamped against it land where the logger saw them.
        for (Clip& clip : found) {
            const auto metadata = ClipMetadata::read(clip.path);
            if (metadata)
                clip.takeRecordingDate(*metadata, QDateTime::currentDateTimeUtc());
            else
                problems.append(QStringLiteral("%1: its header could not be read").arg(clip.name));
            clips.push_back(markerClip(clip, metadata));
        }
    }
    if (clips.empty())
        return fail(QStringLiteral("no clips in %1").arg(paths.join(QStringLiteral(", "))));

    const MarkerPlan plan = matchNotes(reading->notes, clips);
    // The event's or bin's name: the first folder given, or the folder of the first clip given.
    const QFileInfo first(QDir::cleanPath(QFileInfo(paths.front()).absoluteFilePath()));
    const QString title = first.isDir() ? first.fileName() : first.absoluteDir().dirName();
    const QString outputPath = parser.value(outputOption);
    QSaveFile output(outputPath);
    if (!output.open(QIODevice::WriteOnly) || output.write(writeMarkers(*format, plan, title)) < 0 || !output.commit())
        return fail(QStringLiteral("cannot write %1: %2").arg(outputPath, output.errorString()));

    const auto clipsWithMarkers
        = std::count_if(plan.clips.begin(), plan.clips.end(), [](const ClipMarkers& clip) { return !clip.markers.empty(); });
    const auto counted = [](qsizetype count, const char* one, const char* many) {
        return QStringLiteral("%1 %2").arg(count).arg(QLatin1String(count == 1 ? one : many));
    };
    say(QStringLiteral("%1 on %2; %3 outside every clip")
            .arg(counted(plan.markerCount(), "marker", "markers"), counted(clipsWithMarkers, "clip", "clips"),
                counted(qsizetype(plan.unplaced.size()), "note", "notes")));
    for (const QString& problem : problems + plan.problems)
        say(problem);
    return 0;
}
