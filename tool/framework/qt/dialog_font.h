// The font a template names, as found on this system.
#pragma once

#include <QFont>

// "宋体" (SimSun), the Windows Song face, becomes the closest free Song face, with CJK faces
// after it so that no Chinese caption renders as boxes; other faces are asked for as named.
QFont DialogFont(const char* face, int pointSize);
