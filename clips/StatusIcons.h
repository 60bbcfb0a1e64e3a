#pragma once

#include <QIcon>

// The two marks of the clip table: an empty grey ring for a clip that is not loaded, a filled red dot
// for the one in the player.
namespace StatusIcons {
QIcon none();
QIcon unavailable();
}
