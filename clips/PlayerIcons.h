#pragma once

#include <QIcon>

// The player's button icons, drawn (the disabled colour while the buttons wait for a clip). The style's
// media icons had the desktop's icon theme parsed and their images read before the window could show,
// which took a third of the window's making.
namespace PlayerIcons {
QIcon play();
QIcon pause();
QIcon volume();
QIcon muted();
}
