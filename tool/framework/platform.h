// The framework's one platform switch: the window-system vocabulary the dialogs are written in.
// On Windows it is the real Win32 API (user32, comctl32); elsewhere the same names, types and
// numbers in win_types.h, which the Linux backend gives their meaning. Below the switch, the
// two things every dialog framework of this shape adds: the static control ID and CRect.
#pragma once

#if defined(_WIN32)
// The build asks for the lean, wide headers without the min and max macros (tool/CMakeLists.txt).
#include <windows.h>
// After windows.h, which it needs: the track bar.
#include <commctrl.h>
#else
#include "win_types.h"
#endif

inline constexpr int IDC_STATIC = -1;

class CRect : public RECT {
public:
    int Width() const { return static_cast<int>(right - left); }
    int Height() const { return static_cast<int>(bottom - top); }
};
