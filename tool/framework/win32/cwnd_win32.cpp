// A window on Windows: the real window, spoken to with the wide API.
#include "cwnd.h"
#include "utf16.h"

namespace {

std::wstring WindowTextOf(HWND window) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

}  // namespace

// The poll rewrites the readings ten times a second; an unchanged text is left as it is, so it
// costs no redraw and keeps the operator's selection.
void CWnd::SetWindowText(const char* text) {
    const std::wstring wide = Widen(text != nullptr ? text : "");
    if (WindowTextOf(m_hWnd) != wide) {
        ::SetWindowTextW(m_hWnd, wide.c_str());
    }
}

void CWnd::GetWindowText(CString& text) const { text = CString(Narrow(WindowTextOf(m_hWnd))); }

BOOL CWnd::EnableWindow(BOOL enable) { return ::EnableWindow(m_hWnd, enable); }

BOOL CWnd::IsIconic() const { return ::IsIconic(m_hWnd); }

void CWnd::SetFocus() { ::SetFocus(m_hWnd); }

void CWnd::GetClientRect(LPRECT rect) const { ::GetClientRect(m_hWnd, rect); }

void CWnd::MoveWindow(int x, int y, int width, int height) {
    ::MoveWindow(m_hWnd, x, y, width, height, TRUE);
}

void CWnd::Invalidate() { InvalidateRect(m_hWnd, nullptr, FALSE); }

BOOL CWnd::ShowWindow(int command) { return ::ShowWindow(m_hWnd, command); }

BOOL CWnd::IsWindowVisible() const { return ::IsWindowVisible(m_hWnd); }

void CWnd::BringWindowToTop() { ::BringWindowToTop(m_hWnd); }

// WM_TIMER is made when the queue is looked at and the period has passed, at most one pending:
// ticks never pile up.
UINT_PTR CWnd::SetTimer(UINT_PTR id, UINT elapse, std::nullptr_t) {
    return ::SetTimer(m_hWnd, id, elapse, nullptr);
}

BOOL CWnd::KillTimer(UINT_PTR id) { return ::KillTimer(m_hWnd, id); }

// A control's messages go to the control; the one that carries the dialogs' text is widened.
LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == EM_REPLACESEL) {
        const std::wstring text = Widen(reinterpret_cast<const char*>(lParam));
        return ::SendMessageW(m_hWnd, message, wParam, reinterpret_cast<LPARAM>(text.c_str()));
    }
    return ::SendMessageW(m_hWnd, message, wParam, lParam);
}
