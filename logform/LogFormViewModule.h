#pragma once

#include "logform/LogFormView.h"

#include <QString>

#include <memory>

class QWidget;

// The web engine's module: loaded with its libraries on the first call (later calls reuse it), and never
// unloaded, since the engine's threads outlive any one view.
namespace LogFormViewModule {

// Makes the log form's view in `pane`; nothing when the module cannot be loaded or lacks its maker, with
// the reason in `error`.
std::unique_ptr<LogFormView> makeView(
    QWidget* pane, const LogFormView::Settings& settings, LogFormView::Handlers handlers, QString* error);

}
