#include "cwnd.h"

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

LRESULT CWnd::Default() {
    return DefWindowProc(m_current.message, m_current.wParam, m_current.lParam);
}

void CWnd::OnSysCommand(UINT, LPARAM) { Default(); }

void CWnd::OnPaint() { Default(); }

void CWnd::OnTimer(UINT_PTR) { Default(); }

void CWnd::OnHScroll(UINT, UINT, CWnd*) { Default(); }

void CWnd::OnDestroy() { Default(); }
