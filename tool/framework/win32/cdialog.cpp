// The dialog on Windows: a real dialog (class #32770) made by the dialog manager from the
// template, subclassed so that every message goes through the dialog's message map first and
// default processing is the dialog manager's own.
#include "cdialog.h"

#include "backend.h"
#include "memory_template.h"
#include "resource_module.h"

namespace {

constexpr wchar_t kDialogProperty[] = L"KQ_Tools.CDialog";

}  // namespace

struct CDialog::Window {
    const DialogTemplate* source = nullptr;
    WNDPROC original = nullptr;  // the dialog manager's window procedure
    SIZE smallest{};             // a resizable dialog's size as its template made it

    // WM_INITDIALOG: the window and its controls exist; `lParam` is the CDialog.
    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM, LPARAM lParam) {
        if (message != WM_INITDIALOG) {
            return FALSE;
        }
        auto* dialog = reinterpret_cast<CDialog*>(lParam);
        return dialog->m_window->Initialize(*dialog, window);
    }

    static LRESULT CALLBACK SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        auto* dialog = static_cast<CDialog*>(GetPropW(window, kDialogProperty));
        if (message == WM_GETMINMAXINFO && dialog->m_window->smallest.cx > 0) {
            reinterpret_cast<MINMAXINFO*>(lParam)->ptMinTrackSize = {dialog->m_window->smallest.cx,
                                                                     dialog->m_window->smallest.cy};
            return 0;
        }
        if (message != WM_NCDESTROY) {
            return dialog->WindowProc(message, wParam, lParam);
        }
        const WNDPROC original = dialog->m_window->original;
        SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
        RemovePropW(window, kDialogProperty);
        dialog->m_window->original = nullptr;
        dialog->ForgetWindow();
        return CallWindowProcW(original, window, message, wParam, lParam);
    }

    // TRUE lets the dialog manager put the focus on the first tab stop.
    BOOL Initialize(CDialog& dialog, HWND window) {
        SetPropW(window, kDialogProperty, &dialog);
        original = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(
            window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Window::SubclassProc)));
        dialog.Attach(window, IDC_STATIC);
        if ((source->style & kDialogResizable) != 0) {
            RECT frame{};
            GetWindowRect(window, &frame);
            smallest = {frame.right - frame.left, frame.bottom - frame.top};
        }
        for (const ControlTemplate& control : source->controls) {
            if (control.id != IDC_STATIC) {
                dialog.AddControl(control.id, ::GetDlgItem(window, control.id));
            }
        }
        dialog.m_systemMenu = std::make_unique<CMenu>(::GetSystemMenu(window, FALSE));
        dialog.m_ended = false;
        return dialog.OnInitDialog();
    }
};

void CDialog::WindowDeleter::operator()(Window* window) const { delete window; }

// The dialog manager runs the modal loop; the owner is disabled meanwhile.
INT_PTR CDialog::DoModal() {
    const DialogTemplate* dialog = AfxGetResourceHandle().findDialog(m_templateId);
    if (dialog == nullptr || m_window) {
        return -1;
    }
    const std::vector<WORD> memory = BuildDialogTemplate(*dialog);
    m_window.reset(new Window);
    m_window->source = dialog;
    const INT_PTR result = DialogBoxIndirectParamW(
        GetModuleHandleW(nullptr), reinterpret_cast<LPCDLGTEMPLATEW>(memory.data()), OwnerWindow(),
        &Window::DialogProc, reinterpret_cast<LPARAM>(this));
    DestroyWindow();
    return result == -1 ? -1 : m_modalResult;
}

BOOL CDialog::Create() { return CreateFromTemplate() != nullptr; }

// Modeless: shown when the template says so.
const DialogTemplate* CDialog::CreateFromTemplate() {
    const DialogTemplate* dialog = AfxGetResourceHandle().findDialog(m_templateId);
    if (dialog == nullptr || m_window) {
        return nullptr;
    }
    const std::vector<WORD> memory = BuildDialogTemplate(*dialog);
    m_window.reset(new Window);
    m_window->source = dialog;
    if (CreateDialogIndirectParamW(
            GetModuleHandleW(nullptr), reinterpret_cast<LPCDLGTEMPLATEW>(memory.data()),
            OwnerWindow(), &Window::DialogProc, reinterpret_cast<LPARAM>(this)) == nullptr) {
        m_window.reset();
        return nullptr;
    }
    return dialog;
}

void backend::DestroyDialog(HWND dialog) { ::DestroyWindow(dialog); }

void backend::MapDialogRect(HWND dialog, LPRECT rect) { ::MapDialogRect(dialog, rect); }

void backend::EndDialog(HWND dialog, int result) { ::EndDialog(dialog, result); }

LRESULT CDialog::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (!m_window || m_window->original == nullptr) {
        return 0;
    }
    return CallWindowProcW(m_window->original, GetSafeHwnd(), message, wParam, lParam);
}
