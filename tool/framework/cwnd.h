// A window as the dialogs see it: a dialog or one of its controls, spoken to with messages. Each
// wraps the backend's window that shows it; a dialog finds its controls by ID.
#pragma once

#include <cstddef>

#include "cstring.h"
#include "platform.h"

struct MessageMap;

class CWnd {
public:
    CWnd() = default;
    virtual ~CWnd() = default;
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    HWND GetSafeHwnd() const { return m_hWnd; }

    // Binds this object to a window, or lets go of it.
    void Attach(HWND window, int id);
    void Detach();

    void SetWindowText(const char* text);
    void GetWindowText(CString& text) const;
    // Returns whether the window was disabled before.
    BOOL EnableWindow(BOOL enable = TRUE);
    BOOL IsIconic() const;
    int GetDlgCtrlID() const { return m_id; }
    void SetFocus();
    void GetClientRect(LPRECT rect) const;
    // Places the window at (x, y) of its parent's client area with that size, and redraws it.
    void MoveWindow(int x, int y, int width, int height);
    // Has the window drawn again soon, without erasing it first.
    void Invalidate();
    // SW_SHOW or SW_HIDE; returns whether it was visible before.
    BOOL ShowWindow(int command);
    BOOL IsWindowVisible() const;
    // Puts a top-level window above the others of the program and activates it.
    void BringWindowToTop();

    // Handled by the window's message map, else by the window itself.
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    HICON SetIcon(HICON icon, BOOL bigIcon);
    // From any thread: queues the message for the window's thread, which handles it as any other
    // message, through the message map. FALSE when it could not be queued.
    BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);

    // Timer ticks arrive as WM_TIMER with the ID. A tick that falls due while a handler runs is
    // delivered once afterwards, however many periods passed: ticks never pile up.
    UINT_PTR SetTimer(UINT_PTR id, UINT elapse, std::nullptr_t callback = nullptr);
    BOOL KillTimer(UINT_PTR id);

    // A modal box with this window as owner; the caption defaults to the application's name.
    int MessageBox(const char* text, const char* caption = nullptr, UINT type = MB_OK);

protected:
    virtual const MessageMap* GetMessageMap() const;
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // Default processing of the message being handled.
    LRESULT Default();

    // The base handlers a derived handler passes a message on to.
    void OnSysCommand(UINT nID, LPARAM lParam);
    void OnPaint();
    void OnTimer(UINT_PTR nIDEvent);
    void OnHScroll(UINT nSBCode, UINT nPos, CWnd* pScrollBar);
    void OnDestroy();

private:
    struct Message {
        UINT message = 0;
        WPARAM wParam = 0;
        LPARAM lParam = 0;
    };

    HWND m_hWnd = nullptr;
    int m_id = IDC_STATIC;
    Message m_current;
};
