#include "cwnd.h"

#include "backend.h"
#include "message_map.h"
#include "modal_box.h"

void CWnd::Attach(HWND window, int id) {
    m_hWnd = window;
    m_id = id;
}

void CWnd::Detach() {
    m_hWnd = nullptr;
    m_id = IDC_STATIC;
}

// The poll rewrites the readings ten times a second; an unchanged text is left as it is, so it
// costs no redraw and keeps the operator's selection.
void CWnd::SetWindowText(const char* text) {
    const std::string wanted = text != nullptr ? text : "";
    if (backend::WindowText(m_hWnd) != wanted) {
        backend::SetWindowText(m_hWnd, wanted);
    }
}

void CWnd::GetWindowText(CString& text) const { text = CString(backend::WindowText(m_hWnd)); }

BOOL CWnd::EnableWindow(BOOL enable) { return backend::EnableWindow(m_hWnd, enable); }

BOOL CWnd::IsIconic() const { return backend::IsIconic(m_hWnd); }

void CWnd::SetFocus() { backend::SetFocus(m_hWnd); }

void CWnd::GetClientRect(LPRECT rect) const { *rect = backend::ClientRect(m_hWnd); }

UINT_PTR CWnd::SetTimer(UINT_PTR id, UINT elapse, std::nullptr_t) {
    return backend::SetTimer(*this, id, elapse);
}

void CWnd::MoveWindow(int x, int y, int width, int height) {
    backend::MoveWindow(m_hWnd, x, y, width, height);
}

void CWnd::Invalidate() { backend::Invalidate(m_hWnd); }

BOOL CWnd::ShowWindow(int command) { return backend::ShowWindow(m_hWnd, command); }

BOOL CWnd::IsWindowVisible() const { return backend::IsWindowVisible(m_hWnd); }

void CWnd::BringWindowToTop() { backend::BringWindowToTop(m_hWnd); }

BOOL CWnd::KillTimer(UINT_PTR id) { return backend::KillTimer(m_hWnd, id); }

BOOL CWnd::PostMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return backend::PostMessage(m_hWnd, message, wParam, lParam);
}

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return WindowProc(message, wParam, lParam);
}

HICON CWnd::SetIcon(HICON icon, BOOL bigIcon) {
    return reinterpret_cast<HICON>(
        SendMessage(WM_SETICON, bigIcon ? ICON_BIG : ICON_SMALL, reinterpret_cast<LPARAM>(icon)));
}

int CWnd::MessageBox(const char* text, const char* caption, UINT type) {
    return ShowMessageBox(m_hWnd, text, caption, type);
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
    return backend::ControlMessage(m_hWnd, message, wParam, lParam);
}

LRESULT CWnd::Default() {
    return DefWindowProc(m_current.message, m_current.wParam, m_current.lParam);
}

void CWnd::OnSysCommand(UINT, LPARAM) { Default(); }

void CWnd::OnPaint() { Default(); }

void CWnd::OnTimer(UINT_PTR) { Default(); }

void CWnd::OnHScroll(UINT, UINT, CWnd*) { Default(); }

void CWnd::OnDestroy() { Default(); }
