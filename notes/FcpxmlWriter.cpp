#include "notes/MarkerWriting.h"

#include "notes/NoteTime.h"

#include <QXmlStreamWriter>

#include <map>
#include <tuple>

// FCPXML 1.10, as Final Cut Pro imports it: the formats and assets in `resources`, then one event with an
// asset-clip per clip, each carrying its markers. Element order and attribute names follow the 1.10 DTD;
// Final Cut Pro refuses a whole document that does not match it.

namespace {

// `frames` frames at `rate` as FCPXML's rational seconds, over the rate's own denominator as Final Cut
// Pro writes them ("900075/25s", "1001/30000s"), "0s" for none.
QString rationalSeconds(qint64 frames, const FrameRate& rate)
{
    if (frames == 0)
        return QStringLiteral("0s");
    const qint64 numerator = frames * rate.denominator;
    if (rate.numerator == 1)
        return QString::number(numerator) + u's';
    return QString::number(numerator) + u'/' + QString::number(rate.numerator) + u's';
}

using FormatKey = std::tuple<qint64, qint64, int, int>; // rate, width, height

FormatKey formatKey(const ClipMarkers& clip)
{
    return { clip.clip.rate->numerator, clip.clip.rate->denominator, clip.clip.width, clip.clip.height };
}

void writeMarker(QXmlStreamWriter& xml, const Marker& marker, const ClipMarkers& clip)
{
    const FrameRate rate = *clip.clip.rate;
    xml.writeEmptyElement(QStringLiteral("marker"));
    xml.writeAttribute(QStringLiteral("start"), rationalSeconds(clip.start->frameCount() + marker.frame, rate));
    xml.writeAttribute(QStringLiteral("duration"), rationalSeconds(1, rate));
    xml.writeAttribute(QStringLiteral("value"), MarkerWriting::xmlText(marker.text));
    QString note = QStringLiteral("Recorded %1").arg(NoteTime::text(marker.recordedAt));
    if (marker.approximate)
        note += QStringLiteral(" (approximate: the clip's start is its file's time)");
    xml.writeAttribute(QStringLiteral("note"), note);
}

}

namespace MarkerWriting {

QByteArray fcpxml(const MarkerPlan& plan, const QString& title)
{
    QByteArray document;
    // Room for the whole file at once: grown piecemeal, the buffer is copied and faulted in again and again.
    document.reserve(qsizetype(plan.clips.size()) * 800 + plan.markerCount() * 240);
    QXmlStreamWriter xml(&document);
    xml.setAutoFormatting(true);
    xml.setAutoFormattingIndent(4);
    xml.writeStartDocument();
    xml.writeDTD(QStringLiteral("<!DOCTYPE fcpxml>"));
    xml.writeStartElement(QStringLiteral("fcpxml"));
    xml.writeAttribute(QStringLiteral("version"), QStringLiteral("1.10"));

    // Ids are shared by formats and assets: r1, r2 ... in the order written.
    int nextId = 1;
    const auto newId = [&nextId] { return QStringLiteral("r%1").arg(nextId++); };
    std::map<FormatKey, QString> formatIds;
    std::vector<QString> assetIds(plan.clips.size());
    xml.writeStartElement(QStringLiteral("resources"));
    for (const ClipMarkers& clip : plan.clips) {
        if (!clip.canCarryMarkers() || formatIds.count(formatKey(clip)))
            continue;
        const QString id = newId();
        formatIds.emplace(formatKey(clip), id);
        xml.writeEmptyElement(QStringLiteral("format"));
        xml.writeAttribute(QStringLiteral("id"), id);
        xml.writeAttribute(QStringLiteral("frameDuration"), rationalSeconds(1, *clip.clip.rate));
        if (clip.clip.width > 0 && clip.clip.height > 0) {
            xml.writeAttribute(QStringLiteral("width"), QString::number(clip.clip.width));
            xml.writeAttribute(QStringLiteral("height"), QString::number(clip.clip.height));
        }
    }
    for (size_t i = 0; i < plan.clips.size(); ++i) {
        const ClipMarkers& clip = plan.clips[i];
        if (!clip.canCarryMarkers())
            continue;
        assetIds[i] = newId();
        const FrameRate rate = *clip.clip.rate;
        xml.writeStartElement(QStringLiteral("asset"));
        xml.writeAttribute(QStringLiteral("id"), assetIds[i]);
        xml.writeAttribute(QStringLiteral("name"), xmlText(clip.clip.name));
        xml.writeAttribute(QStringLiteral("start"), rationalSeconds(clip.start->frameCount(), rate));
        xml.writeAttribute(QStringLiteral("duration"), rationalSeconds(clip.frameCount, rate));
        xml.writeAttribute(QStringLiteral("hasVideo"), QStringLiteral("1"));
        xml.writeAttribute(QStringLiteral("format"), formatIds.at(formatKey(clip)));
        xml.writeEmptyElement(QStringLiteral("media-rep"));
        xml.writeAttribute(QStringLiteral("kind"), QStringLiteral("original-media"));
        xml.writeAttribute(QStringLiteral("src"), fileUrl(clip.clip.path, false));
        xml.writeEndElement();
    }
    xml.writeEndElement();

    xml.writeStartElement(QStringLiteral("library"));
    xml.writeStartElement(QStringLiteral("event"));
    xml.writeAttribute(QStringLiteral("name"), xmlText(title));
    for (size_t i = 0; i < plan.clips.size(); ++i) {
        const ClipMarkers& clip = plan.clips[i];
        if (!clip.canCarryMarkers())
            continue;
        const FrameRate rate = *clip.clip.rate;
        xml.writeStartElement(QStringLiteral("asset-clip"));
        xml.writeAttribute(QStringLiteral("ref"), assetIds[i]);
        xml.writeAttribute(QStringLiteral("name"), xmlText(clip.clip.name));
        xml.writeAttribute(QStringLiteral("start"), rationalSeconds(clip.start->frameCount(), rate));
        xml.writeAttribute(QStringLiteral("duration"), rationalSeconds(clip.frameCount, rate));
        xml.writeAttribute(QStringLiteral("format"), formatIds.at(formatKey(clip)));
        xml.writeAttribute(QStringLiteral("tcFormat"), clip.start->isDropFrame() ? QStringLiteral("DF") : QStringLiteral("NDF"));
        for (const Marker& marker : clip.markers)
            writeMarker(xml, marker, clip);
        xml.writeEndElement();
    }
    xml.writeEndDocument();
    return document;
}

}
