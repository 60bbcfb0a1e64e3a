#include "notes/MarkerFormat.h"

#include <QCoreApplication>

std::optional<MarkerFormat> markerFormatFromName(QStringView name)
{
    for (MarkerFormat format : { MarkerFormat::Fcpxml, MarkerFormat::Xmeml, MarkerFormat::Ale, MarkerFormat::Csv })
        if (name.compare(markerFormatName(format), Qt::CaseInsensitive) == 0)
            return format;
    return std::nullopt;
}

QString markerFormatName(MarkerFormat format)
{
    switch (format) {
    case MarkerFormat::Fcpxml:
        return QStringLiteral("fcpxml");
    case MarkerFormat::Xmeml:
        return QStringLiteral("xmeml");
    case MarkerFormat::Ale:
        return QStringLiteral("ale");
    case MarkerFormat::Csv:
        return QStringLiteral("csv");
    }
    return QString();
}

QString markerFormatExtension(MarkerFormat format)
{
    return format == MarkerFormat::Xmeml ? QStringLiteral("xml") : markerFormatName(format);
}

QString markerFormatTitle(MarkerFormat format)
{
    switch (format) {
    case MarkerFormat::Fcpxml:
        return QCoreApplication::translate("MarkerFormat", "Final Cut Pro XML");
    case MarkerFormat::Xmeml:
        return QCoreApplication::translate("MarkerFormat", "Final Cut Pro 7 XML (Premiere Pro, Resolve)");
    case MarkerFormat::Ale:
        return QCoreApplication::translate("MarkerFormat", "Avid Log Exchange");
    case MarkerFormat::Csv:
        return QCoreApplication::translate("MarkerFormat", "Comma-separated values");
    }
    return QString();
}
