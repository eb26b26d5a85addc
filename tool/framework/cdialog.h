// A dialog made from a template. DoModal runs it in a nested event loop until EndDialog; Create
// makes it modeless. Its controls are found by ID; its message map takes IDOK (OnOK: save the
// fields, close only if that succeeds) and IDCANCEL (OnCancel: close).
#pragma once

#include <map>
#include <memory>
#include <vector>

#include "cmenu.h"
#include "cwnd.h"

class DialogWindow;
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

    CWnd* GetDlgItem(int id) const;
    // The dialog's system menu; with revert, the menu goes back to its standard items and the
    // result is nullptr.
    CMenu* GetSystemMenu(BOOL revert);

    // Runs before the dialog is first shown; TRUE puts the focus on the first tab stop.
    virtual BOOL OnInitDialog();

    // The dialog's wrapper of one of its controls.
    CWnd* ItemOf(const QWidget* widget) const;

protected:
    virtual void OnOK();
    virtual void OnCancel();
    const MessageMap* GetMessageMap() const override;
    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    // The template the window was made from, or nullptr when it could not be.
    const DialogTemplate* CreateFromTemplate();
    void FocusFirstTabStop();
    LRESULT ChangeIcon(WPARAM size, HICON icon);

    UINT m_templateId;
    CWnd* m_pParentWnd;
    std::unique_ptr<DialogWindow> m_window;
    std::map<int, std::unique_ptr<CWnd>> m_items;
    std::vector<QWidget*> m_tabStops;
    std::unique_ptr<CMenu> m_systemMenu;
    HICON m_icons[2] = {nullptr, nullptr};
    INT_PTR m_modalResult = -1;
    bool m_ended = false;
};
