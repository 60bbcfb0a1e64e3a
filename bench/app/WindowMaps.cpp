#include "WindowMaps.h"

#include <xcb/xcb.h>

#include <cstdlib>
#include <memory>

WindowMaps::WindowMaps()
{
    int screenNumber = 0;
    connection = xcb_connect(nullptr, &screenNumber);
    if (xcb_connection_has_error(connection)) {
        xcb_disconnect(connection);
        connection = nullptr;
        return;
    }
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(connection));
    for (int i = 0; i < screenNumber && screens.rem > 0; ++i)
        xcb_screen_next(&screens);
    // Without a window manager a top-level window is a child of the root: its mapping is reported to
    // whoever watches the root's substructure.
    const uint32_t events = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(connection, screens.data->root, XCB_CW_EVENT_MASK, &events);
    // Qt sets the title before it maps the window, as _NET_WM_NAME in UTF-8.
    const auto atomCookie = xcb_intern_atom(connection, 0, 12, "_NET_WM_NAME");
    const std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> atom(
        xcb_intern_atom_reply(connection, atomCookie, nullptr), &std::free);
    if (atom)
        titleAtom = atom->atom;
}

WindowMaps::~WindowMaps()
{
    if (connection)
        xcb_disconnect(connection);
}

void WindowMaps::read()
{
    if (!connection)
        return;
    while (xcb_generic_event_t* event = xcb_poll_for_event(connection)) {
        const auto now = Bench::Clock::now();
        if ((event->response_type & ~0x80) == XCB_MAP_NOTIFY) {
            const auto* map = reinterpret_cast<xcb_map_notify_event_t*>(event);
            maps.push_back({ now, titleOf(map->window) });
        }
        std::free(event);
    }
}

std::optional<Bench::Clock::time_point> WindowMaps::mapped(
    const QRegularExpression& title, Bench::Clock::time_point since) const
{
    for (const Map& map : maps)
        if (map.when >= since && title.match(map.title).hasMatch())
            return map.when;
    return std::nullopt;
}

QString WindowMaps::titleOf(unsigned window) const
{
    const auto cookie
        = xcb_get_property(connection, 0, window, titleAtom, XCB_GET_PROPERTY_TYPE_ANY, 0, 1024);
    const std::unique_ptr<xcb_get_property_reply_t, decltype(&std::free)> reply(
        xcb_get_property_reply(connection, cookie, nullptr), &std::free);
    if (!reply)
        return {};
    return QString::fromUtf8(static_cast<const char*>(xcb_get_property_value(reply.get())),
        xcb_get_property_value_length(reply.get()));
}
