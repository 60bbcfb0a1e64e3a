#pragma once

#include "notes/MarkerFormat.h"

#include <QString>

#include <optional>
#include <utility>

class QWidget;

// The save panel of File ▸ Export Markers…: one filter per format, the proposed one chosen. Gives the path
// and the format of the filter the logger left chosen; a name typed without an extension gets the
// format's. Nothing when the logger cancels.
std::optional<std::pair<QString, MarkerFormat>> chooseMarkerExport(
    QWidget* parent, const QString& proposedPath, MarkerFormat proposedFormat);
