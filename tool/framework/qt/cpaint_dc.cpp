#include "cpaint_dc.h"

#include <QIcon>
#include <QPainter>
#include <QWidget>

#include "qt_handles.h"

struct CPaintDC::Painting {
    QPainter painter;
};

CPaintDC::CPaintDC(CWnd* window)
    : m_painting(new Painting{QPainter(WidgetOf(*window))}),
      m_hDC(HandleOf(&m_painting->painter)) {}

CPaintDC::~CPaintDC() = default;

BOOL CPaintDC::DrawIcon(int x, int y, HICON icon) {
    if (icon == nullptr) {
        return FALSE;
    }
    const int width = GetSystemMetrics(SM_CXICON);
    const int height = GetSystemMetrics(SM_CYICON);
    IconOf(icon)->paint(&m_painting->painter, x, y, width, height);
    return TRUE;
}
