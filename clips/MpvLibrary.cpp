#include "clips/MpvLibrary.h"
#include "clips/LoadedLibrary.h"
#include "core/Console.h"

std::optional<MpvLibrary> MpvLibrary::load(const QString& name, int version, QString* error)
{
    LoadedLibrary library(name, version);
    MpvLibrary functions;
    library.find(functions.create, "mpv_create");
    library.find(functions.initialize, "mpv_initialize");
    library.find(functions.terminateDestroy, "mpv_terminate_destroy");
    library.find(functions.setOptionString, "mpv_set_option_string");
    library.find(functions.observeProperty, "mpv_observe_property");
    library.find(functions.setWakeupCallback, "mpv_set_wakeup_callback");
    library.find(functions.commandAsync, "mpv_command_async");
    library.find(functions.setPropertyAsync, "mpv_set_property_async");
    library.find(functions.getProperty, "mpv_get_property");
    library.find(functions.freeNodeContents, "mpv_free_node_contents");
    library.find(functions.waitEvent, "mpv_wait_event");
    library.find(functions.errorString, "mpv_error_string");
    library.find(functions.renderContextCreate, "mpv_render_context_create");
    library.find(functions.renderContextSetUpdateCallback, "mpv_render_context_set_update_callback");
    library.find(functions.renderContextUpdate, "mpv_render_context_update");
    library.find(functions.renderContextRender, "mpv_render_context_render");
    library.find(functions.renderContextFree, "mpv_render_context_free");
    *error = library.error();
    if (!error->isEmpty())
        return std::nullopt;
    return functions;
}

MpvLibrary* mpvLibrary()
{
    static std::optional<MpvLibrary> loaded = [] {
        QString error;
        // libmpv's file name carries the major version of its client interface.
        auto functions = MpvLibrary::load(QStringLiteral("mpv"), MPV_CLIENT_API_VERSION >> 16, &error);
        if (!functions)
            consoleLine(QStringLiteral("libmpv could not be loaded: %1").arg(error));
        return functions;
    }();
    return loaded ? &*loaded : nullptr;
}
