#include "cpaint_dc.h"

#include <QIcon>
#include <QWidget>

#include "cwnd.h"

CPaintDC::CPaintDC(CWnd* window) : m_painter(window->Widget()) {}

BOOL CPaintDC::DrawIcon(int x, int y, HICON icon) {
    if (icon == nullptr) {
        return FALSE;
    }
    const int width = GetSystemMetrics(SM_CXICON);
    const int height = GetSystemMetrics(SM_CYICON);
    icon->paint(&m_painter, x, y, width, height);
    return TRUE;
}
