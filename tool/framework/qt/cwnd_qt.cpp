// A window on Qt: its widget; a control's messages go to the control's own handler.
#include <QCoreApplication>
#include <QTimer>
#include <QWidget>

#include "control.h"
#include "cwnd.h"
#include "posted_message.h"
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

// Qt's event queue takes events from any thread; the widget handles them on its own.
BOOL CWnd::PostMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    QCoreApplication::postEvent(WidgetOf(m_hWnd), new PostedMessage(message, wParam, lParam));
    return TRUE;
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
