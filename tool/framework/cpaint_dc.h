// A device context for painting a window while it handles WM_PAINT.
#pragma once

#include <QPainter>

#include "win_types.h"

class CWnd;

class CPaintDC {
public:
    explicit CPaintDC(CWnd* window);

    HDC GetSafeHdc() { return &m_painter; }
    // Draws the icon at the system icon size with its top-left corner at (x, y).
    BOOL DrawIcon(int x, int y, HICON icon);

private:
    QPainter m_painter;
};
