#include "cwnd.h"

#include <QTimer>
#include <QWidget>

#include "control.h"
#include "message_map.h"
#include "modal_box.h"
#include "window_text.h"

namespace {

QString TimerName(UINT_PTR id) { return QStringLiteral("timer %1").arg(id); }

}  // namespace

void CWnd::Attach(QWidget* widget, int id) {
    m_widget = widget;
    m_id = id;
}

void CWnd::Detach() {
    m_widget = nullptr;
    m_id = IDC_STATIC;
}

void CWnd::SetWindowText(const char* text) { SetWidgetText(m_widget, ToQString(text)); }

void CWnd::GetWindowText(CString& text) const { text = FromQString(WidgetText(m_widget)); }

BOOL CWnd::EnableWindow(BOOL enable) {
    const BOOL wasDisabled = !m_widget->isEnabled();
    m_widget->setEnabled(enable != FALSE);
    return wasDisabled;
}

BOOL CWnd::IsIconic() const { return m_widget->window()->isMinimized(); }

void CWnd::SetFocus() { m_widget->setFocus(Qt::OtherFocusReason); }

void CWnd::GetClientRect(LPRECT rect) const {
    *rect = {.left = 0, .top = 0, .right = m_widget->width(), .bottom = m_widget->height()};
}

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return WindowProc(message, wParam, lParam);
}

HICON CWnd::SetIcon(HICON icon, BOOL bigIcon) {
    return reinterpret_cast<HICON>(
        SendMessage(WM_SETICON, bigIcon ? ICON_BIG : ICON_SMALL, reinterpret_cast<LPARAM>(icon)));
}

// A precise QTimer on the window's thread: when it falls due during a long handler it fires once
// after it, then keeps its period from there.
UINT_PTR CWnd::SetTimer(UINT_PTR id, UINT elapse, std::nullptr_t) {
    auto* timer = m_widget->findChild<QTimer*>(TimerName(id), Qt::FindDirectChildrenOnly);
    if (timer == nullptr) {
        timer = new QTimer(m_widget);
        timer->setObjectName(TimerName(id));
        timer->setTimerType(Qt::PreciseTimer);
        QObject::connect(timer, &QTimer::timeout, m_widget,
                         [this, id] { SendMessage(WM_TIMER, id, 0); });
    }
    timer->start(static_cast<int>(elapse));
    return id;
}

BOOL CWnd::KillTimer(UINT_PTR id) {
    auto* timer = m_widget->findChild<QTimer*>(TimerName(id), Qt::FindDirectChildrenOnly);
    delete timer;
    return timer != nullptr;
}

int CWnd::MessageBox(const char* text, const char* caption, UINT type) {
    return ShowMessageBox(m_widget, text, caption, type);
}

const MessageMap* CWnd::GetMessageMap() const {
    static const MessageMap map;
    return &map;
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    const Message outer = m_current;
    m_current = {message, wParam, lParam};
    const MessageMapEntry* entry = FindMessageEntry(GetMessageMap(), message, wParam);
    const LRESULT result = entry != nullptr ? entry->handler(*this, wParam, lParam)
                                            : DefWindowProc(message, wParam, lParam);
    m_current = outer;
    return result;
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    auto* control = dynamic_cast<Control*>(m_widget);
    return control != nullptr ? control->ControlProc(message, wParam, lParam) : 0;
}

LRESULT CWnd::Default() {
    return DefWindowProc(m_current.message, m_current.wParam, m_current.lParam);
}

void CWnd::OnSysCommand(UINT, LPARAM) { Default(); }

void CWnd::OnPaint() { Default(); }

void CWnd::OnTimer(UINT_PTR) { Default(); }

void CWnd::OnHScroll(UINT, UINT, CWnd*) { Default(); }
