// A window on Qt: its widget; a control's messages go to the control's own handler.
#include <QTimer>
#include <QWidget>

#include "control.h"
#include "cwnd.h"
#include "qt_handles.h"
#include "window_text.h"

namespace {

QString TimerName(UINT_PTR id) { return QStringLiteral("timer %1").arg(id); }

}  // namespace

QWidget* WidgetOf(const CWnd& window) { return WidgetOf(window.GetSafeHwnd()); }

void CWnd::SetWindowText(const char* text) { SetWidgetText(WidgetOf(m_hWnd), ToQString(text)); }

void CWnd::GetWindowText(CString& text) const { text = FromQString(WidgetText(WidgetOf(m_hWnd))); }

BOOL CWnd::EnableWindow(BOOL enable) {
    QWidget* widget = WidgetOf(m_hWnd);
    const BOOL wasDisabled = !widget->isEnabled();
    widget->setEnabled(enable != FALSE);
    return wasDisabled;
}

BOOL CWnd::IsIconic() const { return WidgetOf(m_hWnd)->window()->isMinimized(); }

void CWnd::SetFocus() { WidgetOf(m_hWnd)->setFocus(Qt::OtherFocusReason); }

void CWnd::GetClientRect(LPRECT rect) const {
    const QWidget* widget = WidgetOf(m_hWnd);
    *rect = {.left = 0, .top = 0, .right = widget->width(), .bottom = widget->height()};
}

void CWnd::MoveWindow(int x, int y, int width, int height) {
    WidgetOf(m_hWnd)->setGeometry(x, y, width, height);
}

void CWnd::Invalidate() { WidgetOf(m_hWnd)->update(); }

BOOL CWnd::ShowWindow(int command) {
    QWidget* widget = WidgetOf(m_hWnd);
    const BOOL wasVisible = widget->isVisible();
    widget->setVisible(command != SW_HIDE);
    return wasVisible;
}

BOOL CWnd::IsWindowVisible() const { return WidgetOf(m_hWnd)->isVisible(); }

void CWnd::BringWindowToTop() {
    QWidget* widget = WidgetOf(m_hWnd);
    widget->raise();
    widget->activateWindow();
}

// A precise QTimer on the window's thread: when it falls due during a long handler it fires once
// after it, then keeps its period from there.
UINT_PTR CWnd::SetTimer(UINT_PTR id, UINT elapse, std::nullptr_t) {
    QWidget* widget = WidgetOf(m_hWnd);
    auto* timer = widget->findChild<QTimer*>(TimerName(id), Qt::FindDirectChildrenOnly);
    if (timer == nullptr) {
        timer = new QTimer(widget);
        timer->setObjectName(TimerName(id));
        timer->setTimerType(Qt::PreciseTimer);
        QObject::connect(timer, &QTimer::timeout, widget,
                         [this, id] { SendMessage(WM_TIMER, id, 0); });
    }
    timer->start(static_cast<int>(elapse));
    return id;
}

BOOL CWnd::KillTimer(UINT_PTR id) {
    auto* timer = WidgetOf(m_hWnd)->findChild<QTimer*>(TimerName(id), Qt::FindDirectChildrenOnly);
    delete timer;
    return timer != nullptr;
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    auto* control = dynamic_cast<Control*>(WidgetOf(m_hWnd));
    return control != nullptr ? control->ControlProc(message, wParam, lParam) : 0;
}
