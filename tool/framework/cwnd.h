// A window as the dialogs see it: a dialog or one of its controls, reached by handle or by
// control ID, spoken to with messages. Each wraps the widget that shows it.
#pragma once

#include <cstddef>

#include "cstring.h"
#include "win_types.h"

class CDataExchange;
class QWidget;
struct MessageMap;

class CWnd {
public:
    CWnd() = default;
    virtual ~CWnd();
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    // The object bound to the window (a control member, a dialog), else the dialog's own wrapper
    // of that control; nullptr for no window.
    static CWnd* FromHandle(HWND window);
    HWND GetSafeHwnd() const { return m_widget; }
    QWidget* Widget() const { return m_widget; }

    // Binds this object to a window, as its permanent object.
    void Attach(QWidget* widget, int id);
    void Detach();

    void SetWindowText(const char* text);
    void GetWindowText(CString& text) const;
    // Returns whether the window was disabled before.
    BOOL EnableWindow(BOOL enable = TRUE);
    BOOL IsWindowEnabled() const;
    BOOL IsWindowVisible() const;
    BOOL IsIconic() const;
    int GetDlgCtrlID() const { return m_id; }
    void SetFocus();
    void GetClientRect(LPRECT rect) const;

    // Handled by the window's message map, else by the window itself.
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    HICON SetIcon(HICON icon, BOOL bigIcon);

    // Timer ticks arrive as WM_TIMER with the ID. A tick that falls due while a handler runs is
    // delivered once afterwards, however many periods passed: ticks never pile up.
    UINT_PTR SetTimer(UINT_PTR id, UINT elapse, std::nullptr_t callback = nullptr);
    BOOL KillTimer(UINT_PTR id);

    // A modal box with this window as owner; the caption defaults to the application's name.
    int MessageBox(const char* text, const char* caption = nullptr, UINT type = MB_OK);

    // TRUE: controls to members, with validation; FALSE: members to controls. FALSE when a
    // field failed: the user has been told and the focus is on that field.
    BOOL UpdateData(BOOL saveAndValidate = TRUE);

protected:
    virtual void DoDataExchange(CDataExchange* pDX);
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

private:
    struct Message {
        UINT message = 0;
        WPARAM wParam = 0;
        LPARAM lParam = 0;
    };

    QWidget* m_widget = nullptr;
    int m_id = IDC_STATIC;
    Message m_current;
};
