#pragma once

#include <QIcon>

#include <functional>

class QPainter;

// Icons drawn as shapes rather than read from images: in the palette's button text colour (the disabled
// one for a disabled icon), sharp at any size and device pixel ratio, and made in microseconds, where an
// image icon has Qt look for an image reader among its plugins the first time one is read.
namespace DrawnIcon {

// Draws the shape on a 16 × 16 grid, with the pen and the brush already in the icon's colour.
using Shape = std::function<void(QPainter&)>;

QIcon fromShape(Shape shape);

}
