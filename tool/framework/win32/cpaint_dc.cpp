#include "cpaint_dc.h"

#include "cwnd.h"

struct CPaintDC::Painting {
    HWND window;
    PAINTSTRUCT paint;
};

CPaintDC::CPaintDC(CWnd* window) : m_painting(new Painting{window->GetSafeHwnd(), {}}) {
    m_hDC = ::BeginPaint(m_painting->window, &m_painting->paint);
}

CPaintDC::~CPaintDC() { ::EndPaint(m_painting->window, &m_painting->paint); }

BOOL CPaintDC::DrawIcon(int x, int y, HICON icon) {
    return icon != nullptr && ::DrawIcon(m_hDC, x, y, icon);
}
