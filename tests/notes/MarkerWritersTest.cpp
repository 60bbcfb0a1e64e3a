#include "notes/MarkerWriters.h"
#include "notes/NotesReading.h"

#include <QRegularExpression>
#include <QXmlStreamReader>

#include "TextPrinting.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

namespace {

const QDateTime start = QDateTime::fromString(QStringLiteral("2026-12-07T14:00:00.000+01:00"), Qt::ISODateWithMs);

// Texts a logger may well type, and a few no one should but someone will.
const QStringList hostileTexts {
    QStringLiteral("He said \"cut\" <now> & 'then' ]]> --> <!-- "),
    QStringLiteral("tab\there, comma, and ; semicolon"),
    QStringLiteral("line one\nline two\r\nline three\r"),
    QString::fromUtf8("🎬 take 2 — ça tourne"),
    QString::fromUtf8("שלום עולם ‏مرحبا‎ mixed"),
    QStringLiteral("=SUM(A1:A9)"),
    QStringLiteral("-3 dB"),
    QStringLiteral("  leading and trailing spaces  "),
};
// XML 1.0 cannot carry these at all: each becomes U+FFFD there.
const QString controlText = QStringLiteral("bell\x07 and \x01 escape\x1b");

MarkerClip clip(const QString& name, const QString& path, qint64 offsetMs, double seconds, std::optional<FrameRate> rate,
    const QString& timecode, int width, int height)
{
    MarkerClip made;
    made.name = name;
    made.path = path;
    made.recordingStart = start.addMSecs(offsetMs);
    made.durationSeconds = seconds;
    made.rate = rate;
    made.startTimecode = timecode;
    made.width = width;
    made.height = height;
    return made;
}

// Clip A (25 fps, 10:00:00:00) gets every hostile text, frame 12 onwards a frame apart; clip B (29.97
// drop-frame, a path that needs encoding) the control text and the last hostile one; clip C has no rate.
MarkerPlan plan()
{
    std::vector<LogNote> notes;
    for (qsizetype i = 0; i < hostileTexts.size(); ++i) {
        LogNote note;
        note.id = i + 1;
        note.recordedAt = start.addMSecs(480 + 40 * i);
        note.text = hostileTexts[i];
        notes.push_back(note);
    }
    LogNote control;
    control.id = 100;
    control.recordedAt = start.addSecs(65);
    control.text = controlText;
    notes.push_back(control);
    LogNote unplaced;
    unplaced.id = 101;
    unplaced.text = QStringLiteral("=no clip, \"anywhere\"");
    notes.push_back(unplaced);
    return matchNotes(notes,
        {
            clip(QStringLiteral("A001.mov"), QStringLiteral("/media/card/A001.mov"), 0, 10, FrameRate { 25, 1 },
                QStringLiteral("10:00:00:00"), 1920, 1080),
            clip(QString::fromUtf8("B#001 ü & <x>.mov"), QString::fromUtf8("/media/Card 1/B#001 ü & <x>.mov"), 60'000,
                20, FrameRate { 30000, 1001 }, QStringLiteral("01:00:00;00"), 1280, 720),
            clip(QStringLiteral("C001.mxf"), QStringLiteral("/media/card/C001.mxf"), 0, 10, std::nullopt, QString(), 0, 0),
        });
}

QString withoutControls(const QString& text)
{
    QString safe = text;
    for (QChar& c : safe)
        if (c.unicode() < 0x20 && c != u'\t' && c != u'\n' && c != u'\r')
            c = QChar(QChar::ReplacementCharacter);
    return safe;
}

// An element as a reader met it: its path from the root, its attributes, and its text.
struct Element
{
    QString path;
    std::map<QString, QString> attributes;
    QString text;
};

std::vector<Element> readXml(const QByteArray& document, QString& doctype)
{
    QXmlStreamReader xml(document);
    std::vector<Element> elements;
    QStringList path;
    std::vector<size_t> open;
    while (!xml.atEnd()) {
        switch (xml.readNext()) {
        case QXmlStreamReader::DTD:
            doctype = xml.text().trimmed().toString();
            break;
        case QXmlStreamReader::StartElement: {
            path.append(xml.name().toString());
            Element element { path.join(u'/'), {}, {} };
            for (const QXmlStreamAttribute& attribute : xml.attributes())
                element.attributes[attribute.name().toString()] = attribute.value().toString();
            open.push_back(elements.size());
            elements.push_back(element);
            break;
        }
        case QXmlStreamReader::Characters:
            if (!open.empty())
                elements[open.back()].text += xml.text();
            break;
        case QXmlStreamReader::EndElement:
            path.removeLast();
            open.pop_back();
            break;
        default:
            break;
        }
    }
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString() << " at line " << xml.lineNumber();
    return elements;
}

std::vector<const Element*> named(const std::vector<Element>& elements, const QString& path)
{
    std::vector<const Element*> found;
    for (const Element& element : elements)
        if (element.path == path)
            found.push_back(&element);
    return found;
}

TEST(FcpxmlWriter, FollowsTheFcpxml110Dtd)
{
    QString doctype;
    const std::vector<Element> elements
        = readXml(writeMarkers(MarkerFormat::Fcpxml, plan(), QStringLiteral("Day 1 & <2>")), doctype);
    EXPECT_EQ(doctype, QStringLiteral("<!DOCTYPE fcpxml>"));

    // Rules checked against Apple's FCPXML 1.10 DTD:
    //   fcpxml (import-options?, resources?, (library | event* | ...)), version #FIXED "1.10";
    //   resources (asset | effect | format | media | locator)*; format EMPTY, id #REQUIRED;
    //   asset (media-rep+, metadata?), id #REQUIRED; media-rep EMPTY here, src #REQUIRED;
    //   library (event | smart-collection)*; event (event_item)*;
    //   asset-clip (note?, ..., (marker_item)*, ...), ref #REQUIRED; marker EMPTY, start and value #REQUIRED;
    //   tcFormat (DF | NDF); every attribute below is one the DTD declares for its element.
    const std::map<QString, std::set<QString>> declared {
        { QStringLiteral("fcpxml"), { QStringLiteral("version") } },
        { QStringLiteral("fcpxml/resources"), {} },
        { QStringLiteral("fcpxml/resources/format"),
            { "id", "name", "frameDuration", "fieldOrder", "width", "height", "paspH", "paspV", "colorSpace",
                "projection", "stereoscopic" } },
        { QStringLiteral("fcpxml/resources/asset"),
            { "id", "name", "uid", "start", "duration", "hasVideo", "format", "hasAudio", "videoSources",
                "audioSources", "audioChannels", "audioRate", "customLUTOverride", "colorSpaceOverride",
                "projectionOverride", "stereoscopicOverride", "auxVideoFlags" } },
        { QStringLiteral("fcpxml/resources/asset/media-rep"), { "kind", "sig", "src", "suggestedFilename" } },
        { QStringLiteral("fcpxml/library"), { "location", "colorProcessing" } },
        { QStringLiteral("fcpxml/library/event"), { "name", "uid" } },
        { QStringLiteral("fcpxml/library/event/asset-clip"),
            { "ref", "lane", "offset", "name", "start", "duration", "enabled", "srcEnable", "audioStart",
                "audioDuration", "format", "tcStart", "tcFormat", "modDate", "audioRole", "videoRole" } },
        { QStringLiteral("fcpxml/library/event/asset-clip/marker"), { "start", "duration", "value", "completed", "note" } },
    };
    const std::map<QString, std::vector<QString>> required {
        { QStringLiteral("fcpxml/resources/format"), { "id" } },
        { QStringLiteral("fcpxml/resources/asset"), { "id" } },
        { QStringLiteral("fcpxml/resources/asset/media-rep"), { "src" } },
        { QStringLiteral("fcpxml/library/event/asset-clip"), { "ref" } },
        { QStringLiteral("fcpxml/library/event/asset-clip/marker"), { "start", "value" } },
    };
    std::set<QString> ids;
    QStringList order; // the sequence of elements below resources, as written
    for (const Element& element : elements) {
        const auto allowed = declared.find(element.path);
        ASSERT_NE(allowed, declared.end()) << "not in the DTD here: " << element.path.toStdString();
        for (const auto& [name, value] : element.attributes)
            EXPECT_TRUE(allowed->second.count(name)) << element.path.toStdString() << " @" << name.toStdString();
        if (const auto needed = required.find(element.path); needed != required.end()) {
            for (const QString& name : needed->second)
                EXPECT_TRUE(element.attributes.count(name)) << element.path.toStdString() << " needs @" << name.toStdString();
        }
        if (element.attributes.count(QStringLiteral("id"))) {
            EXPECT_TRUE(ids.insert(element.attributes.at(QStringLiteral("id"))).second) << "ids are unique";
        }
        if (element.path.startsWith(u"fcpxml/"))
            order.append(element.path.section(u'/', 1, 1));
    }
    EXPECT_EQ(named(elements, QStringLiteral("fcpxml")).front()->attributes.at(QStringLiteral("version")), QStringLiteral("1.10"));
    EXPECT_EQ(order.indexOf(QStringLiteral("library")), order.lastIndexOf(QStringLiteral("resources")) + 1)
        << "resources, then library";
    for (const auto* clip : named(elements, QStringLiteral("fcpxml/library/event/asset-clip")))
        for (const char* reference : { "ref", "format" })
            EXPECT_TRUE(ids.count(clip->attributes.at(QString::fromLatin1(reference)))) << "IDREF " << reference;

    // The event, and only the clips that have a rate.
    EXPECT_EQ(named(elements, QStringLiteral("fcpxml/library/event")).front()->attributes.at(QStringLiteral("name")),
        QStringLiteral("Day 1 & <2>"));
    const auto formats = named(elements, QStringLiteral("fcpxml/resources/format"));
    ASSERT_EQ(formats.size(), 2u);
    EXPECT_EQ(formats[0]->attributes.at(QStringLiteral("frameDuration")), QStringLiteral("1/25s"));
    EXPECT_EQ(formats[1]->attributes.at(QStringLiteral("frameDuration")), QStringLiteral("1001/30000s"));
    EXPECT_EQ(formats[1]->attributes.at(QStringLiteral("width")), QStringLiteral("1280"));
    const auto assets = named(elements, QStringLiteral("fcpxml/resources/asset"));
    ASSERT_EQ(assets.size(), 2u);
    EXPECT_EQ(assets[0]->attributes.at(QStringLiteral("start")), QStringLiteral("900000/25s"));
    EXPECT_EQ(assets[0]->attributes.at(QStringLiteral("duration")), QStringLiteral("250/25s"));
    EXPECT_EQ(assets[1]->attributes.at(QStringLiteral("start")), QStringLiteral("107999892/30000s")) << "107892 frames";
    EXPECT_EQ(assets[1]->attributes.at(QStringLiteral("name")), QString::fromUtf8("B#001 ü & <x>.mov"));
    const auto sources = named(elements, QStringLiteral("fcpxml/resources/asset/media-rep"));
    EXPECT_EQ(sources[1]->attributes.at(QStringLiteral("src")),
        QStringLiteral("file:///media/Card%201/B%23001%20%C3%BC%20&%20%3Cx%3E.mov"));
    const auto clips = named(elements, QStringLiteral("fcpxml/library/event/asset-clip"));
    ASSERT_EQ(clips.size(), 2u);
    EXPECT_EQ(clips[0]->attributes.at(QStringLiteral("tcFormat")), QStringLiteral("NDF"));
    EXPECT_EQ(clips[1]->attributes.at(QStringLiteral("tcFormat")), QStringLiteral("DF"));

    // Every text comes back as typed, at its frame.
    const auto markers = named(elements, QStringLiteral("fcpxml/library/event/asset-clip/marker"));
    ASSERT_EQ(markers.size(), size_t(hostileTexts.size() + 1));
    for (qsizetype i = 0; i < hostileTexts.size(); ++i) {
        EXPECT_EQ(markers[i]->attributes.at(QStringLiteral("value")), hostileTexts[i]) << i;
        EXPECT_EQ(markers[i]->attributes.at(QStringLiteral("start")), QStringLiteral("%1/25s").arg(900012 + i));
        EXPECT_EQ(markers[i]->attributes.at(QStringLiteral("duration")), QStringLiteral("1/25s"));
    }
    // 5 s into B: frame 149 after 107892.
    EXPECT_EQ(markers.back()->attributes.at(QStringLiteral("start")), QStringLiteral("%1/30000s").arg((107892 + 149) * 1001));
    EXPECT_EQ(markers.back()->attributes.at(QStringLiteral("value")), withoutControls(controlText));
}

TEST(XmemlWriter, WritesABinOfMasterClipsWithTheirMarkers)
{
    QString doctype;
    const std::vector<Element> elements = readXml(writeMarkers(MarkerFormat::Xmeml, plan(), QStringLiteral("Day 1")), doctype);
    EXPECT_EQ(doctype, QStringLiteral("<!DOCTYPE xmeml>"));
    EXPECT_EQ(named(elements, QStringLiteral("xmeml")).front()->attributes.at(QStringLiteral("version")), QStringLiteral("4"));
    EXPECT_EQ(named(elements, QStringLiteral("xmeml/bin/name")).front()->text, QStringLiteral("Day 1"));

    const QString clipPath = QStringLiteral("xmeml/bin/children/clip");
    const auto clips = named(elements, clipPath);
    ASSERT_EQ(clips.size(), 2u) << "the clip without a rate is left out";
    const auto text = [&](const QString& below) {
        QStringList found;
        for (const auto* element : named(elements, clipPath + u'/' + below))
            found.append(element->text);
        return found;
    };
    EXPECT_EQ(text(QStringLiteral("name")), QStringList({ QStringLiteral("A001.mov"), QString::fromUtf8("B#001 ü & <x>.mov") }));
    EXPECT_EQ(text(QStringLiteral("duration")), QStringList({ QStringLiteral("250"), QStringLiteral("599") }));
    EXPECT_EQ(text(QStringLiteral("rate/timebase")), QStringList({ QStringLiteral("25"), QStringLiteral("30") }));
    EXPECT_EQ(text(QStringLiteral("rate/ntsc")), QStringList({ QStringLiteral("FALSE"), QStringLiteral("TRUE") }));
    const QString file = QStringLiteral("media/video/track/clipitem/file/");
    EXPECT_EQ(text(file + QStringLiteral("pathurl")),
        QStringList({ QStringLiteral("file://localhost/media/card/A001.mov"),
            QStringLiteral("file://localhost/media/Card%201/B%23001%20%C3%BC%20&%20%3Cx%3E.mov") }));
    EXPECT_EQ(text(file + QStringLiteral("timecode/string")),
        QStringList({ QStringLiteral("10:00:00:00"), QStringLiteral("01:00:00;00") }));
    EXPECT_EQ(text(file + QStringLiteral("timecode/frame")), QStringList({ QStringLiteral("900000"), QStringLiteral("107892") }));
    EXPECT_EQ(text(file + QStringLiteral("timecode/displayformat")), QStringList({ QStringLiteral("NDF"), QStringLiteral("DF") }));

    const QStringList comments = text(QStringLiteral("marker/comment"));
    const QStringList names = text(QStringLiteral("marker/name"));
    const QStringList ins = text(QStringLiteral("marker/in"));
    ASSERT_EQ(comments.size(), hostileTexts.size() + 1);
    for (qsizetype i = 0; i < hostileTexts.size(); ++i) {
        EXPECT_EQ(comments[i], hostileTexts[i]) << i;
        EXPECT_EQ(ins[i], QString::number(12 + i));
        EXPECT_FALSE(names[i].contains(u'\n') || names[i].contains(u'\r'));
    }
    EXPECT_EQ(names[2], QStringLiteral("line one"));
    EXPECT_EQ(comments.back(), withoutControls(controlText));
    EXPECT_EQ(ins.back(), QStringLiteral("149"));
    EXPECT_EQ(text(QStringLiteral("marker/out")).front(), QStringLiteral("-1"));
}

TEST(AleWriter, WritesTheThreeSectionsWithOneRowPerClip)
{
    const QString ale = QString::fromUtf8(writeMarkers(MarkerFormat::Ale, plan(), QStringLiteral("Day 1")));
    EXPECT_FALSE(ale.contains(QRegularExpression(QStringLiteral("[^\r]\n")))) << "CRLF throughout";
    const QStringList lines = ale.split(QStringLiteral("\r\n"));
    const qsizetype column = lines.indexOf(QStringLiteral("Column"));
    const qsizetype data = lines.indexOf(QStringLiteral("Data"));
    ASSERT_EQ(lines.first(), QStringLiteral("Heading"));
    ASSERT_GT(column, 0);
    ASSERT_GT(data, column);
    const QStringList heading = lines.mid(1, column - 2);
    EXPECT_TRUE(heading.contains(QStringLiteral("FIELD_DELIM\tTABS")));
    EXPECT_TRUE(heading.contains(QStringLiteral("FPS\t25"))) << "the first clip's rate when the counts tie";
    EXPECT_TRUE(heading.contains(QStringLiteral("VIDEO_FORMAT\t1080")));
    EXPECT_TRUE(heading.contains(QStringLiteral("AUDIO_FORMAT\t48khz")));
    EXPECT_TRUE(lines[column - 1].isEmpty());
    const QStringList columns = lines[column + 1].split(u'\t');
    EXPECT_EQ(columns,
        QStringList({ QStringLiteral("Name"), QStringLiteral("Tracks"), QStringLiteral("Start"), QStringLiteral("End"),
            QStringLiteral("Source File"), QStringLiteral("Comments") }));
    EXPECT_TRUE(lines[data - 1].isEmpty());

    const QStringList rows = lines.mid(data + 1).filter(QRegularExpression(QStringLiteral(".")));
    ASSERT_EQ(rows.size(), 2) << "no row for the clip without a rate, and no row broken by a note's line break";
    const QStringList a = rows[0].split(u'\t'), b = rows[1].split(u'\t');
    ASSERT_EQ(a.size(), columns.size());
    ASSERT_EQ(b.size(), columns.size());
    EXPECT_EQ(a[0], QStringLiteral("A001.mov"));
    EXPECT_EQ(a[2], QStringLiteral("10:00:00:00"));
    EXPECT_EQ(a[3], QStringLiteral("10:00:10:00"));
    EXPECT_EQ(a[4], QStringLiteral("/media/card/A001.mov"));
    EXPECT_EQ(b[2], QStringLiteral("01:00:00;00"));
    EXPECT_EQ(b[3], QStringLiteral("01:00:19;29")) << "599 frames later";
    const QStringList comments = a[5].split(QStringLiteral(" | "));
    ASSERT_EQ(comments.size(), hostileTexts.size());
    EXPECT_EQ(comments[0], QStringLiteral("10:00:00:12 ") + hostileTexts[0]);
    EXPECT_EQ(comments[1], QStringLiteral("10:00:00:13 tab here, comma, and ; semicolon"));
    EXPECT_EQ(comments[2], QStringLiteral("10:00:00:14 line one line two  line three "));
    EXPECT_EQ(comments[3], QStringLiteral("10:00:00:15 ") + hostileTexts[3]);
    EXPECT_EQ(comments[4], QStringLiteral("10:00:00:16 ") + hostileTexts[4]);
    EXPECT_EQ(b[5], QStringLiteral("01:00:04;29 bell  and   escape "));
}

// RFC 4180 cells, read back the way a spreadsheet reads them.
std::vector<QStringList> csvRows(const QString& text)
{
    std::vector<QStringList> rows;
    QStringList row;
    QString cell;
    bool quoted = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (quoted) {
            if (c == u'"' && i + 1 < text.size() && text[i + 1] == u'"')
                cell += text[++i];
            else if (c == u'"')
                quoted = false;
            else
                cell += c;
        } else if (c == u'"') {
            quoted = true;
        } else if (c == u',') {
            row.append(cell);
            cell.clear();
        } else if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') {
            ++i;
            row.append(cell);
            rows.push_back(row);
            row.clear();
            cell.clear();
        } else {
            cell += c;
        }
    }
    return rows;
}

TEST(MarkerCsvWriter, ListsEveryMarkerThenEveryUnplacedNote)
{
    const QByteArray csv = writeMarkers(MarkerFormat::Csv, plan(), QStringLiteral("Day 1"));
    const std::vector<QStringList> rows = csvRows(QString::fromUtf8(csv));
    ASSERT_EQ(rows.size(), size_t(1 + hostileTexts.size() + 1 + 1));
    EXPECT_EQ(rows[0],
        QStringList({ QStringLiteral("clip"), QStringLiteral("source timecode"), QStringLiteral("recording time"),
            QStringLiteral("frame"), QStringLiteral("text"), QStringLiteral("approximate") }));
    for (const QStringList& row : rows)
        ASSERT_EQ(row.size(), 6);
    EXPECT_EQ(rows[1],
        QStringList({ QStringLiteral("A001.mov"), QStringLiteral("10:00:00:12"),
            QStringLiteral("2026-12-07T14:00:00.480+01:00"), QStringLiteral("12"), hostileTexts[0], QStringLiteral("no") }));
    EXPECT_EQ(rows[6][4], QStringLiteral("'=SUM(A1:A9)")) << "a formula is neutralised";
    EXPECT_EQ(rows[7][4], QStringLiteral("'-3 dB"));
    EXPECT_EQ(rows[9][0], QString::fromUtf8("B#001 ü & <x>.mov"));
    EXPECT_EQ(rows[9][4], controlText) << "a table carries any character";
    EXPECT_EQ(rows[10], QStringList({ QString(), QString(), QString(), QString(), QStringLiteral("'=no clip, \"anywhere\""), QString() }));

    // The notes reader, which takes the same apostrophes off, gets every text back exactly.
    const auto reading = readNotesCsv(csv);
    ASSERT_TRUE(reading);
    ASSERT_EQ(reading->notes.size(), size_t(hostileTexts.size() + 2));
    for (qsizetype i = 0; i < hostileTexts.size(); ++i)
        EXPECT_EQ(reading->notes[size_t(i)].text, hostileTexts[i]) << i;
    EXPECT_EQ(reading->notes.back().text, QStringLiteral("=no clip, \"anywhere\""));
}

TEST(MarkerFormat, NamesAndExtensions)
{
    for (MarkerFormat format : { MarkerFormat::Fcpxml, MarkerFormat::Xmeml, MarkerFormat::Ale, MarkerFormat::Csv }) {
        EXPECT_EQ(markerFormatFromName(markerFormatName(format)), format);
        EXPECT_EQ(markerFormatFromName(markerFormatName(format).toUpper()), format);
        EXPECT_FALSE(markerFormatTitle(format).isEmpty());
    }
    EXPECT_EQ(markerFormatExtension(MarkerFormat::Xmeml), QStringLiteral("xml"));
    EXPECT_EQ(markerFormatExtension(MarkerFormat::Fcpxml), QStringLiteral("fcpxml"));
    EXPECT_FALSE(markerFormatFromName(u"edl"));
    EXPECT_FALSE(markerFormatFromName(u""));
}

}
