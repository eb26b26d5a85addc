#include "cdialog.h"

#include "backend.h"
#include "cwin_app.h"
#include "data_exchange.h"
#include "message_map.h"

CDialog::CDialog(UINT templateId, CWnd* parent) : m_templateId(templateId), m_pParentWnd(parent) {}

// The members data exchange bound have ended before this runs: they are left alone.
CDialog::~CDialog() {
    m_controls.clear();
    DestroyWindow();
}

BOOL CDialog::DestroyWindow() {
    if (!m_window) {
        return FALSE;
    }
    if (GetSafeHwnd() != nullptr) {
        backend::DestroyDialog(GetSafeHwnd());
    }
    ForgetWindow();
    m_window.reset();
    return TRUE;
}

void CDialog::MapDialogRect(LPRECT rect) const { backend::MapDialogRect(GetSafeHwnd(), rect); }

void CDialog::EndDialog(int result) {
    m_modalResult = result;
    m_ended = true;
    if (GetSafeHwnd() != nullptr) {
        backend::EndDialog(GetSafeHwnd(), result);
    }
}

void CDialog::AddControl(int id, HWND control) {
    auto& wrapper = m_wrappers.emplace_back(std::make_unique<CWnd>());
    wrapper->Attach(control, id);
    m_controls[id] = wrapper.get();
}

void CDialog::ForgetWindow() {
    // Control members bound by data exchange let go of their windows.
    for (const auto& [id, control] : m_controls) {
        control->Detach();
    }
    m_controls.clear();
    m_wrappers.clear();
    m_systemMenu.reset();
    Detach();
}

HWND CDialog::OwnerWindow() const {
    const CWnd* parent = m_pParentWnd != nullptr ? m_pParentWnd : AfxGetMainWnd();
    return parent != nullptr && parent != this ? parent->GetSafeHwnd() : nullptr;
}

CWnd* CDialog::GetDlgItem(int id) const {
    const auto found = m_controls.find(id);
    return found != m_controls.end() ? found->second : nullptr;
}

CWnd* CDialog::ItemFromHandle(HWND window) const {
    if (window == nullptr) {
        return nullptr;
    }
    for (const auto& [id, control] : m_controls) {
        if (control->GetSafeHwnd() == window) {
            return control;
        }
    }
    return nullptr;
}

void CDialog::BindControl(int id, CWnd& member) {
    const auto found = m_controls.find(id);
    if (found != m_controls.end() && found->second != &member) {
        member.Attach(found->second->GetSafeHwnd(), id);
        found->second = &member;
    }
}

CMenu* CDialog::GetSystemMenu(BOOL) { return m_systemMenu.get(); }

BOOL CDialog::OnInitDialog() {
    UpdateData(FALSE);
    return TRUE;
}

BOOL CDialog::UpdateData(BOOL saveAndValidate) {
    CDataExchange exchange(this, saveAndValidate);
    try {
        DoDataExchange(&exchange);
    } catch (const DataExchangeFailure&) {
        return FALSE;
    }
    return TRUE;
}

void CDialog::DoDataExchange(CDataExchange*) {}

void CDialog::OnOK() {
    if (!UpdateData(TRUE)) {
        return;
    }
    EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

const MessageMap* CDialog::GetMessageMap() const {
    static const MessageMap map{
        .base = CWnd::GetMessageMap(),
        .entries = {ON_COMMAND(IDOK, &CDialog::OnOK), ON_COMMAND(IDCANCEL, &CDialog::OnCancel)},
    };
    return &map;
}
