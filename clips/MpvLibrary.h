#pragma once

#include <mpv/client.h>
#include <mpv/render.h>

#include <QString>

#include <optional>

// The functions of libmpv that the player calls. libmpv brings some eighty libraries of its own besides
// FFmpeg's, and loading them before the window could show took about as long as showing a bare window: the
// program does not link libmpv but loads it when the first player is made. Each member is the libmpv
// function of its name, in camel case without the "mpv_" prefix.
struct MpvLibrary
{
    decltype(&::mpv_create) create = nullptr;
    decltype(&::mpv_initialize) initialize = nullptr;
    decltype(&::mpv_terminate_destroy) terminateDestroy = nullptr;
    decltype(&::mpv_set_option_string) setOptionString = nullptr;
    decltype(&::mpv_observe_property) observeProperty = nullptr;
    decltype(&::mpv_set_wakeup_callback) setWakeupCallback = nullptr;
    decltype(&::mpv_command_async) commandAsync = nullptr;
    decltype(&::mpv_set_property_async) setPropertyAsync = nullptr;
    decltype(&::mpv_get_property) getProperty = nullptr;
    decltype(&::mpv_free_node_contents) freeNodeContents = nullptr;
    decltype(&::mpv_wait_event) waitEvent = nullptr;
    decltype(&::mpv_error_string) errorString = nullptr;
    decltype(&::mpv_render_context_create) renderContextCreate = nullptr;
    decltype(&::mpv_render_context_set_update_callback) renderContextSetUpdateCallback = nullptr;
    decltype(&::mpv_render_context_update) renderContextUpdate = nullptr;
    decltype(&::mpv_render_context_render) renderContextRender = nullptr;
    decltype(&::mpv_render_context_free) renderContextFree = nullptr;

    // Loads the library `name` of major version `version` and finds every function in it; nothing when
    // either fails, with `error` saying what was missing.
    static std::optional<MpvLibrary> load(const QString& name, int version, QString* error);
};

// The libmpv this program was built against, loaded at the first call and kept until the end; nullptr
// when it cannot be loaded, which the first call writes to the console. Test programs may put functions of
// their own in place of its members before the first player is made.
MpvLibrary* mpvLibrary();
