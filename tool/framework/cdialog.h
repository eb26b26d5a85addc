// A dialog made from a template. DoModal runs it in a nested event loop until EndDialog; Create
// makes it modeless. Its controls are found by ID; its message map takes IDOK (OnOK: save the
// fields, close only if that succeeds) and IDCANCEL (OnCancel: close).
#pragma once

#include <map>
#include <memory>
#include <vector>

#include "cmenu.h"
#include "cwnd.h"

class CDataExchange;
struct DialogTemplate;

class CDialog : public CWnd {
public:
    explicit CDialog(UINT templateId, CWnd* parent = nullptr);
    ~CDialog() override;

    // The result passed to EndDialog, or -1 when the dialog could not be created.
    virtual INT_PTR DoModal();
    BOOL Create();
    BOOL DestroyWindow();
    void EndDialog(int result);

    // The member data exchange bound to control `id`, else the dialog's own wrapper of it.
    CWnd* GetDlgItem(int id) const;
    // The control a notification names by its window, nullptr for none.
    CWnd* ItemFromHandle(HWND window) const;
    // Makes `member` the object of control `id` from now on.
    void BindControl(int id, CWnd& member);
    // The dialog's system menu. The dialogs never revert it, so the argument is always FALSE.
    CMenu* GetSystemMenu(BOOL revert);
    // Dialog units to the dialog's pixels, by the metrics of its font.
    void MapDialogRect(LPRECT rect) const;

    // Runs before the dialog is first shown; TRUE puts the focus on the first tab stop.
    virtual BOOL OnInitDialog();

    // TRUE: controls to members, with validation; FALSE: members to controls. FALSE when a
    // field failed: the user has been told and the focus is on that field.
    BOOL UpdateData(BOOL saveAndValidate = TRUE);

protected:
    virtual void DoDataExchange(CDataExchange* pDX);
    virtual void OnOK();
    virtual void OnCancel();
    const MessageMap* GetMessageMap() const override;
    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    // The backend's side of the dialog's window, and what deletes it.
    struct Window;
    struct WindowDeleter {
        void operator()(Window* window) const;
    };

    // The template the window was made from, or nullptr when it could not be.
    const DialogTemplate* CreateFromTemplate();
    // A wrapper for the control `id`, found by that ID from now on.
    void AddControl(int id, HWND control);
    // Lets go of the window and every control's wrapper.
    void ForgetWindow();
    // The window a dialog without a parent of its own belongs to: the main window, unless it is
    // that window.
    HWND OwnerWindow() const;

    UINT m_templateId;
    CWnd* m_pParentWnd;
    std::unique_ptr<Window, WindowDeleter> m_window;
    std::vector<std::unique_ptr<CWnd>> m_wrappers;  // one per control with an ID
    std::map<int, CWnd*> m_controls;                // by ID: a bound member, else the wrapper
    std::unique_ptr<CMenu> m_systemMenu;
    INT_PTR m_modalResult = -1;
    bool m_ended = false;
};
