#pragma once
#include <QIcon>

namespace app {

// The tool's own pictures, drawn at start: no image files to ship.
QIcon connectPicture();  // grey server box with a green lamp
QIcon exitPicture();     // red cross
QIcon programIcon();

}  // namespace app
