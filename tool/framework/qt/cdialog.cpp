// The dialog on Qt: a DialogWindow with the template's controls built on it, run modally in a
// nested event loop.
#include "cdialog.h"

#include <QIcon>
#include <QPainter>

#include "backend.h"
#include "dialog_builder.h"
#include "dialog_window.h"
#include "qt_handles.h"
#include "resource_module.h"

struct CDialog::Window {
    std::unique_ptr<DialogWindow> widget;
    std::vector<QWidget*> tabStops;
    HICON icons[2] = {nullptr, nullptr};  // small, big

    void FocusFirstTabStop() const {
        for (QWidget* control : tabStops) {
            if (control->isEnabled() && !control->isHidden()) {
                control->setFocus(Qt::TabFocusReason);
                return;
            }
        }
    }

    LRESULT ChangeIcon(WPARAM size, HICON icon) {
        const std::size_t index = size == ICON_BIG ? 1 : 0;
        const HICON previous = icons[index];
        icons[index] = icon;
        const HICON shown = icons[1] != nullptr ? icons[1] : icons[0];
        widget->setWindowIcon(shown != nullptr ? *IconOf(shown) : QIcon());
        return reinterpret_cast<LRESULT>(previous);
    }
};

void CDialog::WindowDeleter::operator()(Window* window) const { delete window; }

INT_PTR CDialog::DoModal() {
    if (CreateFromTemplate() == nullptr) {
        return -1;
    }
    if (!m_ended) {
        m_window->widget->setWindowModality(Qt::ApplicationModal);
        m_window->widget->exec();
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
        m_window->widget->show();
    }
    return TRUE;
}

const DialogTemplate* CDialog::CreateFromTemplate() {
    const DialogTemplate* dialog = AfxGetResourceHandle().findDialog(m_templateId);
    if (dialog == nullptr || m_window) {
        return nullptr;
    }
    const NotifyDialog send = [this](UINT message, WPARAM wParam, LPARAM lParam) {
        SendMessage(message, wParam, lParam);
    };
    m_window.reset(new Window);
    m_window->widget = std::make_unique<DialogWindow>(WidgetOf(OwnerWindow()), *dialog, send);
    DialogWindow* window = m_window->widget.get();
    // A dialog whose owner's window goes first goes with it, as an owned window does on Windows.
    QObject::connect(window, &QObject::destroyed, [this, window] {
        if (m_window && m_window->widget.get() == window) {
            static_cast<void>(m_window->widget.release());
            ForgetWindow();
            m_window.reset();
        }
    });
    Attach(HandleOf(window), IDC_STATIC);
    m_systemMenu = std::make_unique<CMenu>(HandleOf(window->SystemMenu()));
    for (const BuiltControl& control :
         BuildControls(window, *dialog, BaseUnitsOf(window->font()), send)) {
        if (control.source->id != IDC_STATIC) {
            AddControl(control.source->id, HandleOf(control.widget));
        }
        if ((control.source->style & kTabStop) != 0) {
            m_window->tabStops.push_back(control.widget);
        }
    }
    m_ended = false;
    if (OnInitDialog()) {
        m_window->FocusFirstTabStop();
    }
    return dialog;
}

// The widget goes with the dialog's Window, once the dialog has let go of its controls; the
// dialog hears of it first, as the window system tells a window that goes.
void backend::DestroyDialog(HWND dialog) {
    static_cast<DialogWindow*>(WidgetOf(dialog))->Send(WM_DESTROY);
}

// Each edge on its own, as Windows maps them.
void backend::MapDialogRect(HWND dialog, LPRECT rect) {
    const DialogBaseUnits units = BaseUnitsOf(WidgetOf(dialog)->font());
    const QSize topLeft = MapDialogSize(rect->left, rect->top, units);
    const QSize bottomRight = MapDialogSize(rect->right, rect->bottom, units);
    *rect = {.left = topLeft.width(),
             .top = topLeft.height(),
             .right = bottomRight.width(),
             .bottom = bottomRight.height()};
}

void backend::EndDialog(HWND dialog, int result) {
    static_cast<DialogWindow*>(WidgetOf(dialog))->done(result);
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
            return m_window->ChangeIcon(wParam, reinterpret_cast<HICON>(lParam));
        case WM_ICONERASEBKGND: {
            QWidget* window = m_window->widget.get();
            PainterOf(reinterpret_cast<HDC>(wParam))
                ->fillRect(window->rect(), window->palette().window());
            return 1;
        }
        default:
            return 0;
    }
}
