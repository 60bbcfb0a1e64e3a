#pragma once

#include "notes/NoteMatching.h"

#include <QByteArray>
#include <QString>
#include <QStringView>

class QXmlStreamWriter;

// The writers behind writeMarkers, one file each, and what they share.
namespace MarkerWriting {

QByteArray fcpxml(const MarkerPlan& plan, const QString& title);
QByteArray xmeml(const MarkerPlan& plan, const QString& title);
QByteArray ale(const MarkerPlan& plan);
QByteArray csv(const MarkerPlan& plan);

// The text with every character XML 1.0 cannot carry (control characters other than tab, line feed and
// carriage return, lone surrogates, U+FFFE and U+FFFF) replaced by U+FFFD: a stream writer would
// write them raw and leave a file no reader opens.
QString xmlText(QStringView text);

// An element holding `text`, made XML-safe as above, with every carriage return written as a character
// reference: a reader turns a raw one into a line feed, and "\r\n" would come back as "\n".
void writeTextElement(QXmlStreamWriter& xml, const QString& name, QStringView text);

// The file's URL, percent-encoded ("file:///Volumes/A%20Card/A001.mov"); with `localhost` written as the
// host, as Final Cut Pro 7 writes its path URLs.
QString fileUrl(const QString& path, bool withLocalhost);

}
