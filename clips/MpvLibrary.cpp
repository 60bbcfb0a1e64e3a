#include "clips/MpvLibrary.h"
#include "core/Console.h"

#include <QLibrary>
#include <QStringList>

#include <type_traits>

std::optional<MpvLibrary> MpvLibrary::load(const QString& name, int version, QString* error)
{
    // Never unloaded: mpv's threads and the player's callbacks may outlive any one user of it.
    QLibrary library(name, version);
    if (!library.load()) {
        *error = library.errorString();
        return std::nullopt;
    }
    MpvLibrary functions;
    QStringList missing;
    const auto find = [&](auto& function, const char* symbol) {
        function = reinterpret_cast<std::remove_reference_t<decltype(function)>>(library.resolve(symbol));
        if (!function)
            missing.append(QString::fromLatin1(symbol));
    };
    find(functions.create, "mpv_create");
    find(functions.initialize, "mpv_initialize");
    find(functions.terminateDestroy, "mpv_terminate_destroy");
    find(functions.setOptionString, "mpv_set_option_string");
    find(functions.observeProperty, "mpv_observe_property");
    find(functions.setWakeupCallback, "mpv_set_wakeup_callback");
    find(functions.commandAsync, "mpv_command_async");
    find(functions.setPropertyAsync, "mpv_set_property_async");
    find(functions.getProperty, "mpv_get_property");
    find(functions.freeNodeContents, "mpv_free_node_contents");
    find(functions.waitEvent, "mpv_wait_event");
    find(functions.errorString, "mpv_error_string");
    find(functions.renderContextCreate, "mpv_render_context_create");
    find(functions.renderContextSetUpdateCallback, "mpv_render_context_set_update_callback");
    find(functions.renderContextUpdate, "mpv_render_context_update");
    find(functions.renderContextRender, "mpv_render_context_render");
    find(functions.renderContextFree, "mpv_render_context_free");
    if (!missing.isEmpty()) {
        *error = QStringLiteral("%1 has no %2").arg(library.fileName(), missing.join(QStringLiteral(", ")));
        return std::nullopt;
    }
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
