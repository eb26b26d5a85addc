// A window on Windows: the real window, spoken to with the wide API.
#include "cwnd.h"

#include "backend.h"
#include "utf16.h"

std::string backend::WindowText(HWND window) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return Narrow(text);
}

void backend::SetWindowText(HWND window, const std::string& text) {
    ::SetWindowTextW(window, Widen(text).c_str());
}

BOOL backend::EnableWindow(HWND window, BOOL enable) { return ::EnableWindow(window, enable); }

BOOL backend::IsIconic(HWND window) { return ::IsIconic(window); }

void backend::SetFocus(HWND window) { ::SetFocus(window); }

RECT backend::ClientRect(HWND window) {
    RECT rect{};
    ::GetClientRect(window, &rect);
    return rect;
}

void backend::MoveWindow(HWND window, int x, int y, int width, int height) {
    ::MoveWindow(window, x, y, width, height, TRUE);
}

void backend::Invalidate(HWND window) { InvalidateRect(window, nullptr, FALSE); }

BOOL backend::ShowWindow(HWND window, int command) { return ::ShowWindow(window, command); }

BOOL backend::IsWindowVisible(HWND window) { return ::IsWindowVisible(window); }

void backend::BringWindowToTop(HWND window) { ::BringWindowToTop(window); }

// WM_TIMER is made when the queue is looked at and the period has passed, at most one pending:
// ticks never pile up.
UINT_PTR backend::SetTimer(CWnd& window, UINT_PTR id, UINT elapse) {
    return ::SetTimer(window.GetSafeHwnd(), id, elapse, nullptr);
}

BOOL backend::KillTimer(HWND window, UINT_PTR id) { return ::KillTimer(window, id); }

BOOL backend::PostMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return ::PostMessageW(window, message, wParam, lParam);
}

// A control's messages go to the control; the one that carries the dialogs' text is widened.
LRESULT backend::ControlMessage(HWND control, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == EM_REPLACESEL) {
        const std::wstring text = Widen(reinterpret_cast<const char*>(lParam));
        return ::SendMessageW(control, message, wParam, reinterpret_cast<LPARAM>(text.c_str()));
    }
    return ::SendMessageW(control, message, wParam, lParam);
}
