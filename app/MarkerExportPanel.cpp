#include "app/MarkerExportPanel.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QFileInfo>

#include <array>

namespace {

constexpr std::array formats { MarkerFormat::Fcpxml, MarkerFormat::Xmeml, MarkerFormat::Ale, MarkerFormat::Csv };

QString filter(MarkerFormat format)
{
    return QStringLiteral("%1 (*.%2)").arg(markerFormatTitle(format), markerFormatExtension(format));
}

}

std::optional<std::pair<QString, MarkerFormat>> chooseMarkerExport(
    QWidget* parent, const QString& proposedPath, MarkerFormat proposedFormat)
{
    QStringList filters;
    for (MarkerFormat format : formats)
        filters.append(filter(format));
    QString chosenFilter = filter(proposedFormat);
    const QString path = QFileDialog::getSaveFileName(parent,
        QCoreApplication::translate("AppDelegate", "Export Markers"), proposedPath, filters.join(QStringLiteral(";;")),
        &chosenFilter);
    if (path.isEmpty())
        return std::nullopt;
    const MarkerFormat format = formats[std::size_t(std::max(qsizetype(0), filters.indexOf(chosenFilter)))];
    if (QFileInfo(path).suffix().isEmpty())
        return std::pair { path + QLatin1Char('.') + markerFormatExtension(format), format };
    return std::pair { path, format };
}
