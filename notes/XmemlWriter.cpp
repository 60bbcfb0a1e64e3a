#include "notes/MarkerWriting.h"

#include <QXmlStreamWriter>

#include <algorithm>

// Final Cut Pro 7's XML (xmeml version 4), which Premiere Pro and Resolve import: one bin of master
// clips, each with its file, the file's timecode, and the clip's markers counted in frames from its
// first frame.

namespace {

void writeRate(QXmlStreamWriter& xml, const FrameRate& rate)
{
    xml.writeStartElement(QStringLiteral("rate"));
    xml.writeTextElement(QStringLiteral("timebase"), QString::number(rate.timebase()));
    xml.writeTextElement(QStringLiteral("ntsc"), rate.isNtsc() ? QStringLiteral("TRUE") : QStringLiteral("FALSE"));
    xml.writeEndElement();
}

void writeFile(QXmlStreamWriter& xml, const ClipMarkers& clip, int number)
{
    const FrameRate rate = *clip.clip.rate;
    xml.writeStartElement(QStringLiteral("file"));
    xml.writeAttribute(QStringLiteral("id"), QStringLiteral("file-%1").arg(number));
    MarkerWriting::writeTextElement(xml, QStringLiteral("name"), clip.clip.name);
    xml.writeTextElement(QStringLiteral("pathurl"), MarkerWriting::fileUrl(clip.clip.path, true));
    writeRate(xml, rate);
    xml.writeTextElement(QStringLiteral("duration"), QString::number(clip.frameCount));
    xml.writeStartElement(QStringLiteral("timecode"));
    writeRate(xml, rate);
    xml.writeTextElement(QStringLiteral("string"), clip.start->text());
    xml.writeTextElement(QStringLiteral("frame"), QString::number(clip.start->frameCount()));
    xml.writeTextElement(QStringLiteral("displayformat"), clip.start->isDropFrame() ? QStringLiteral("DF") : QStringLiteral("NDF"));
    xml.writeEndElement();
    if (clip.clip.width > 0 && clip.clip.height > 0) {
        xml.writeStartElement(QStringLiteral("media"));
        xml.writeStartElement(QStringLiteral("video"));
        xml.writeStartElement(QStringLiteral("samplecharacteristics"));
        xml.writeTextElement(QStringLiteral("width"), QString::number(clip.clip.width));
        xml.writeTextElement(QStringLiteral("height"), QString::number(clip.clip.height));
        xml.writeEndElement();
        xml.writeEndElement();
        xml.writeEndElement();
    }
    xml.writeEndElement();
}

void writeClip(QXmlStreamWriter& xml, const ClipMarkers& clip, int number)
{
    const QString masterClipId = QStringLiteral("masterclip-%1").arg(number);
    xml.writeStartElement(QStringLiteral("clip"));
    xml.writeAttribute(QStringLiteral("id"), masterClipId);
    MarkerWriting::writeTextElement(xml, QStringLiteral("name"), clip.clip.name);
    xml.writeTextElement(QStringLiteral("duration"), QString::number(clip.frameCount));
    writeRate(xml, *clip.clip.rate);
    xml.writeTextElement(QStringLiteral("masterclipid"), masterClipId);
    xml.writeTextElement(QStringLiteral("ismasterclip"), QStringLiteral("TRUE"));
    xml.writeStartElement(QStringLiteral("media"));
    xml.writeStartElement(QStringLiteral("video"));
    xml.writeStartElement(QStringLiteral("track"));
    xml.writeStartElement(QStringLiteral("clipitem"));
    xml.writeAttribute(QStringLiteral("id"), QStringLiteral("clipitem-%1").arg(number));
    xml.writeTextElement(QStringLiteral("masterclipid"), masterClipId);
    MarkerWriting::writeTextElement(xml, QStringLiteral("name"), clip.clip.name);
    xml.writeTextElement(QStringLiteral("duration"), QString::number(clip.frameCount));
    writeRate(xml, *clip.clip.rate);
    writeFile(xml, clip, number);
    xml.writeEndElement();
    xml.writeEndElement();
    xml.writeEndElement();
    xml.writeEndElement();
    for (const Marker& marker : clip.markers) {
        xml.writeStartElement(QStringLiteral("marker"));
        // Marker lists show the name on one line; the comment keeps the whole note.
        const auto lineEnd = std::find_if(marker.text.cbegin(), marker.text.cend(), [](QChar c) { return c == u'\n' || c == u'\r'; });
        MarkerWriting::writeTextElement(
            xml, QStringLiteral("name"), QStringView(marker.text).first(lineEnd - marker.text.cbegin()));
        MarkerWriting::writeTextElement(xml, QStringLiteral("comment"), marker.text);
        xml.writeTextElement(QStringLiteral("in"), QString::number(marker.frame));
        xml.writeTextElement(QStringLiteral("out"), QStringLiteral("-1"));
        xml.writeEndElement();
    }
    xml.writeEndElement();
}

}

namespace MarkerWriting {

QByteArray xmeml(const MarkerPlan& plan, const QString& title)
{
    QByteArray document;
    // Room for the whole file at once: grown piecemeal, the buffer is copied and faulted in again and again.
    document.reserve(qsizetype(plan.clips.size()) * 1600 + plan.markerCount() * 260);
    QXmlStreamWriter xml(&document);
    xml.setAutoFormatting(true);
    xml.setAutoFormattingIndent(4);
    xml.writeStartDocument();
    xml.writeDTD(QStringLiteral("<!DOCTYPE xmeml>"));
    xml.writeStartElement(QStringLiteral("xmeml"));
    xml.writeAttribute(QStringLiteral("version"), QStringLiteral("4"));
    xml.writeStartElement(QStringLiteral("bin"));
    writeTextElement(xml, QStringLiteral("name"), title);
    xml.writeStartElement(QStringLiteral("children"));
    int number = 0;
    for (const ClipMarkers& clip : plan.clips)
        if (clip.canCarryMarkers())
            writeClip(xml, clip, ++number);
    xml.writeEndDocument();
    return document;
}

}
