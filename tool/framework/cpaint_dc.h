// A device context for painting a window while it handles WM_PAINT.
#pragma once

#include <memory>

#include "platform.h"

class CWnd;

class CPaintDC {
public:
    explicit CPaintDC(CWnd* window);
    ~CPaintDC();
    CPaintDC(const CPaintDC&) = delete;
    CPaintDC& operator=(const CPaintDC&) = delete;

    HDC GetSafeHdc() const { return m_hDC; }
    // Draws the icon at the system icon size with its top-left corner at (x, y).
    BOOL DrawIcon(int x, int y, HICON icon);

private:
    struct Painting;  // the platform's painting state
    std::unique_ptr<Painting> m_painting;
    HDC m_hDC = nullptr;
};
