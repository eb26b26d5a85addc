#include "cdialog.h"

#include <QIcon>
#include <QPainter>

#include "cwin_app.h"
#include "data_exchange.h"
#include "dialog_builder.h"
#include "dialog_window.h"
#include "message_map.h"
#include "resource_module.h"

CDialog::CDialog(UINT templateId, CWnd* parent) : m_templateId(templateId), m_pParentWnd(parent) {}

// The members data exchange bound have ended before this runs: they are left alone.
CDialog::~CDialog() {
    m_controls.clear();
    DestroyWindow();
}

INT_PTR CDialog::DoModal() {
    if (CreateFromTemplate() == nullptr) {
        return -1;
    }
    if (!m_ended) {
        m_window->setWindowModality(Qt::ApplicationModal);
        m_window->exec();
    }
    DestroyWindow();
    return m_modalResult;
}

BOOL CDialog::Create() {
    const DialogTemplate* dialog = CreateFromTemplate();
    if (dialog == nullptr) {
        return FALSE;
    }
    if (!m_ended && (dialog->style & kDialogVisible) != 0) {
        m_window->show();
    }
    return TRUE;
}

const DialogTemplate* CDialog::CreateFromTemplate() {
    const DialogTemplate* dialog = AfxGetResourceHandle().findDialog(m_templateId);
    if (dialog == nullptr || m_window) {
        return nullptr;
    }
    // Without a parent of its own a dialog belongs to the main window, unless it is that window.
    CWnd* parent = m_pParentWnd != nullptr ? m_pParentWnd : AfxGetMainWnd();
    QWidget* parentWidget = parent != nullptr && parent != this ? parent->Widget() : nullptr;
    const NotifyDialog send = [this](UINT message, WPARAM wParam, LPARAM lParam) {
        SendMessage(message, wParam, lParam);
    };
    m_window = std::make_unique<DialogWindow>(parentWidget, *dialog, send);
    Attach(m_window.get(), IDC_STATIC);
    m_systemMenu = std::make_unique<CMenu>(m_window->SystemMenu(),
                                           [this](UINT id) { SendMessage(WM_SYSCOMMAND, id, 0); });
    const auto controls =
        BuildControls(m_window.get(), *dialog, BaseUnitsOf(m_window->font()), send);
    for (const BuiltControl& control : controls) {
        if (control.source->id != IDC_STATIC) {
            auto& wrapper = m_wrappers.emplace_back(std::make_unique<CWnd>());
            wrapper->Attach(control.widget, control.source->id);
            m_controls[control.source->id] = wrapper.get();
        }
        if ((control.source->style & kTabStop) != 0) {
            m_tabStops.push_back(control.widget);
        }
    }
    m_ended = false;
    if (OnInitDialog()) {
        FocusFirstTabStop();
    }
    return dialog;
}

void CDialog::FocusFirstTabStop() {
    for (QWidget* widget : m_tabStops) {
        if (widget->isEnabled() && !widget->isHidden()) {
            widget->setFocus(Qt::TabFocusReason);
            return;
        }
    }
}

BOOL CDialog::DestroyWindow() {
    if (!m_window) {
        return FALSE;
    }
    // Control members bound by data exchange let go of their windows.
    for (const auto& [id, control] : m_controls) {
        control->Detach();
    }
    m_controls.clear();
    m_wrappers.clear();
    m_tabStops.clear();
    m_systemMenu.reset();
    Detach();
    m_window.reset();
    return TRUE;
}

void CDialog::EndDialog(int result) {
    m_modalResult = result;
    m_ended = true;
    if (m_window) {
        m_window->done(result);
    }
}

CWnd* CDialog::GetDlgItem(int id) const {
    const auto found = m_controls.find(id);
    return found != m_controls.end() ? found->second : nullptr;
}

// A control's widget carries its ID as its object name.
CWnd* CDialog::ItemFromHandle(HWND window) const {
    const auto* widget = static_cast<const QWidget*>(window);
    bool isNumber = false;
    const int id = widget != nullptr ? widget->objectName().toInt(&isNumber) : IDC_STATIC;
    CWnd* control = isNumber ? GetDlgItem(id) : nullptr;
    return control != nullptr && control->Widget() == widget ? control : nullptr;
}

void CDialog::BindControl(int id, CWnd& member) {
    const auto found = m_controls.find(id);
    if (found != m_controls.end() && found->second != &member) {
        member.Attach(found->second->Widget(), id);
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

LRESULT CDialog::ChangeIcon(WPARAM size, HICON icon) {
    const std::size_t index = size == ICON_BIG ? 1 : 0;
    const HICON previous = m_icons[index];
    m_icons[index] = icon;
    const HICON shown = m_icons[1] != nullptr ? m_icons[1] : m_icons[0];
    m_window->setWindowIcon(shown != nullptr ? *shown : QIcon());
    return reinterpret_cast<LRESULT>(previous);
}

// What a dialog does with a message its map leaves alone.
LRESULT CDialog::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_SYSCOMMAND:
            if ((wParam & 0xFFF0) == SC_CLOSE) {
                SendMessage(WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
            }
            return 0;
        case WM_SETICON:
            return ChangeIcon(wParam, reinterpret_cast<HICON>(lParam));
        case WM_ICONERASEBKGND: {
            auto* painter = reinterpret_cast<HDC>(wParam);
            painter->fillRect(m_window->rect(), m_window->palette().window());
            return 1;
        }
        default:
            return 0;
    }
}
