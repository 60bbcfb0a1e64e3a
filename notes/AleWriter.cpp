#include "notes/MarkerWriting.h"

#include <map>

// Avid Log Exchange: a Heading, the Column names and the Data rows, tab-delimited. The heading names no
// tape: the clips are files, each named in its Source File. Lines end in CRLF, the line end of the logs
// Avid's tools exchange, which readers on every platform take. One file has one frame rate: the heading
// takes the rate most clips have; a clip at another rate keeps its own timecodes, so a folder of mixed
// rates is best exported once per rate.

namespace {

const QLatin1String lineEnd("\r\n");

// A tab or a line break would start a new cell or row: every control character becomes a space.
QString cell(QStringView text)
{
    QString written = text.toString();
    for (QChar& c : written)
        if (c.unicode() < 0x20 || c.unicode() == 0x7F || c == QChar::LineSeparator || c == QChar::ParagraphSeparator)
            c = u' ';
    return written;
}

QString framesPerSecond(const FrameRate& rate)
{
    if (rate == FrameRate { 24000, 1001 })
        return QStringLiteral("23.976");
    if (rate == FrameRate { 30000, 1001 })
        return QStringLiteral("29.97");
    if (rate == FrameRate { 60000, 1001 })
        return QStringLiteral("59.94");
    if (rate.denominator == 1)
        return QString::number(rate.numerator);
    return QString::number(double(rate.numerator) / double(rate.denominator), 'f', 3);
}

QString videoFormat(const ClipMarkers& clip)
{
    const int height = clip.clip.height;
    if (height == 720)
        return QStringLiteral("720");
    if (height > 0 && height < 720)
        return clip.clip.rate->timebase() % 25 == 0 ? QStringLiteral("PAL") : QStringLiteral("NTSC");
    return QStringLiteral("1080");
}

// The clip the heading describes: the first one at the rate most clips have.
const ClipMarkers* headingClip(const MarkerPlan& plan)
{
    std::map<std::pair<qint64, qint64>, int> counts;
    const ClipMarkers* chosen = nullptr;
    int chosenCount = 0;
    for (const ClipMarkers& clip : plan.clips) {
        if (!clip.canCarryMarkers())
            continue;
        const int count = ++counts[{ clip.clip.rate->numerator, clip.clip.rate->denominator }];
        if (count > chosenCount) {
            chosenCount = count;
            chosen = &clip;
        }
    }
    if (!chosen)
        return nullptr;
    for (const ClipMarkers& clip : plan.clips)
        if (clip.canCarryMarkers() && *clip.clip.rate == *chosen->clip.rate)
            return &clip;
    return chosen;
}

}

namespace MarkerWriting {

QByteArray ale(const MarkerPlan& plan)
{
    const ClipMarkers* heading = headingClip(plan);
    QString text = QStringLiteral("Heading") + lineEnd;
    text += QStringLiteral("FIELD_DELIM\tTABS") + lineEnd;
    text += QStringLiteral("VIDEO_FORMAT\t") + (heading ? videoFormat(*heading) : QStringLiteral("1080")) + lineEnd;
    text += QStringLiteral("AUDIO_FORMAT\t48khz") + lineEnd;
    text += QStringLiteral("FPS\t") + (heading ? framesPerSecond(*heading->clip.rate) : QStringLiteral("25")) + lineEnd;
    text += lineEnd;
    text += QStringLiteral("Column") + lineEnd;
    text += QStringLiteral("Name\tTracks\tStart\tEnd\tSource File\tComments") + lineEnd;
    text += lineEnd;
    text += QStringLiteral("Data") + lineEnd;
    for (const ClipMarkers& clip : plan.clips) {
        if (!clip.canCarryMarkers())
            continue;
        QStringList comments;
        for (const Marker& marker : clip.markers)
            comments.append(marker.sourceTimecode + u' ' + cell(marker.text));
        // Avid's End is the timecode after the last frame.
        text += cell(clip.clip.name) + u'\t' + QStringLiteral("V") + u'\t' + clip.start->text() + u'\t'
            + clip.start->plusFrames(clip.frameCount).text() + u'\t' + cell(clip.clip.path) + u'\t'
            + comments.join(QStringLiteral(" | ")) + lineEnd;
    }
    return text.toUtf8();
}

}
