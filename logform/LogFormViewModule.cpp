#include "logform/LogFormViewModule.h"
#include "core/Platform.h"

#include <QLibrary>

namespace LogFormViewModule {

std::unique_ptr<LogFormView> makeView(
    QWidget* pane, const LogFormView::Settings& settings, LogFormView::Handlers handlers, QString* error)
{
    QLibrary module(Platform::modulePath(QStringLiteral("tapescribe-web.so")));
    if (!module.load()) {
        *error = module.errorString();
        return nullptr;
    }
    auto* make = reinterpret_cast<LogFormViewMaker*>(module.resolve(logFormViewMakerName));
    if (!make) {
        *error = module.errorString();
        return nullptr;
    }
    return std::unique_ptr<LogFormView>(make(pane, settings, std::move(handlers)));
}

}
