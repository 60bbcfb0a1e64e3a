#pragma once

#include <QStringList>

// An mpv that refuses what a test names: commands outright, as an mpv refuses one it cannot parse, and
// properties in its reply, as an mpv without the property does. The first call puts its own functions in
// place of libmpv's mpv_command_async and mpv_set_property_async, so each of the player's requests passes
// through here on its way to the real mpv.
namespace RefusingMpv {

// Command names ("frame-step") and property names ("play-dir") to refuse from now on; empty refuses
// nothing.
void refuse(const QStringList& names);

}
