#pragma once

#include <QIcon>

// The marks of the clip table: an empty grey ring for a clip that is not loaded, a filled red dot for
// the one in the player, a struck-through grey ring for a file whose header could not be read (one that
// is no clip of the type its name says).
namespace StatusIcons {
QIcon none();
QIcon unavailable();
QIcon unreadable();
}
