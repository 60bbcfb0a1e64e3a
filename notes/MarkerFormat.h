#pragma once

#include <QString>
#include <QStringView>

#include <optional>

// The files markers are written to, one for each family of editing applications.
enum class MarkerFormat {
    Fcpxml, // Final Cut Pro (FCPXML 1.10)
    Xmeml, // Final Cut Pro 7 XML, which Premiere Pro and Resolve import
    Ale, // Avid Log Exchange, for Media Composer
    Csv, // a table for anything else, and for reading
};

// "fcpxml", "xmeml", "ale" or "csv", in any letter case.
std::optional<MarkerFormat> markerFormatFromName(QStringView name);
QString markerFormatName(MarkerFormat format);
QString markerFormatExtension(MarkerFormat format); // "fcpxml", "xml", "ale", "csv"
QString markerFormatTitle(MarkerFormat format); // for a save panel's filter, translated
