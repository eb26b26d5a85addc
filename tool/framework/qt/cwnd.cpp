// A window on Qt: its widget; a control's messages go to the control's own handler.
#include "cwnd.h"

#include <QCoreApplication>
#include <QTimer>
#include <QWidget>

#include "backend.h"
#include "control.h"
#include "posted_message.h"
#include "qt_handles.h"
#include "window_text.h"

namespace {

QString TimerName(UINT_PTR id) { return QStringLiteral("timer %1").arg(id); }

}  // namespace

QWidget* WidgetOf(const CWnd& window) { return WidgetOf(window.GetSafeHwnd()); }

std::string backend::WindowText(HWND window) {
    return WidgetText(WidgetOf(window)).toUtf8().toStdString();
}

void backend::SetWindowText(HWND window, const std::string& text) {
    SetWidgetText(WidgetOf(window), QString::fromStdString(text));
}

BOOL backend::EnableWindow(HWND window, BOOL enable) {
    QWidget* widget = WidgetOf(window);
    const BOOL wasDisabled = !widget->isEnabled();
    widget->setEnabled(enable != FALSE);
    return wasDisabled;
}

BOOL backend::IsIconic(HWND window) { return WidgetOf(window)->window()->isMinimized(); }

void backend::SetFocus(HWND window) { WidgetOf(window)->setFocus(Qt::OtherFocusReason); }

RECT backend::ClientRect(HWND window) {
    const QWidget* widget = WidgetOf(window);
    return {.left = 0, .top = 0, .right = widget->width(), .bottom = widget->height()};
}

void backend::MoveWindow(HWND window, int x, int y, int width, int height) {
    WidgetOf(window)->setGeometry(x, y, width, height);
}

void backend::Invalidate(HWND window) { WidgetOf(window)->update(); }

BOOL backend::ShowWindow(HWND window, int command) {
    QWidget* widget = WidgetOf(window);
    const BOOL wasVisible = widget->isVisible();
    widget->setVisible(command != SW_HIDE);
    return wasVisible;
}

BOOL backend::IsWindowVisible(HWND window) { return WidgetOf(window)->isVisible(); }

void backend::BringWindowToTop(HWND window) {
    QWidget* widget = WidgetOf(window);
    widget->raise();
    widget->activateWindow();
}

// Qt's event queue takes events from any thread; the widget handles them on its own.
BOOL backend::PostMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    QCoreApplication::postEvent(WidgetOf(window), new PostedMessage(message, wParam, lParam));
    return TRUE;
}

// A precise QTimer on the window's thread: when it falls due during a long handler it fires once
// after it, then keeps its period from there.
UINT_PTR backend::SetTimer(CWnd& window, UINT_PTR id, UINT elapse) {
    QWidget* widget = WidgetOf(window);
    auto* timer = widget->findChild<QTimer*>(TimerName(id), Qt::FindDirectChildrenOnly);
    if (timer == nullptr) {
        timer = new QTimer(widget);
        timer->setObjectName(TimerName(id));
        timer->setTimerType(Qt::PreciseTimer);
        QObject::connect(timer, &QTimer::timeout, widget,
                         [&window, id] { window.SendMessage(WM_TIMER, id, 0); });
    }
    timer->start(static_cast<int>(elapse));
    return id;
}

BOOL backend::KillTimer(HWND window, UINT_PTR id) {
    auto* timer = WidgetOf(window)->findChild<QTimer*>(TimerName(id), Qt::FindDirectChildrenOnly);
    delete timer;
    return timer != nullptr;
}

LRESULT backend::ControlMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* control = dynamic_cast<Control*>(WidgetOf(window));
    return control != nullptr ? control->ControlProc(message, wParam, lParam) : 0;
}
