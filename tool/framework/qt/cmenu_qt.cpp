#include <QMenu>

#include "cmenu.h"
#include "dialog_window.h"
#include "qt_handles.h"

// The menu belongs to its dialog's window, which sends the dialog the command.
BOOL CMenu::AppendMenu(UINT flags, UINT_PTR id, const char* text) {
    QMenu* menu = MenuOf(m_hMenu);
    if ((flags & MF_SEPARATOR) != 0) {
        menu->addSeparator();
        return TRUE;
    }
    auto* window = dynamic_cast<DialogWindow*>(menu->parentWidget());
    if (text == nullptr || window == nullptr) {
        return FALSE;
    }
    QAction* item = menu->addAction(QString::fromUtf8(text));
    QObject::connect(item, &QAction::triggered, window,
                     [window, id] { window->SystemCommand(static_cast<UINT>(id)); });
    return TRUE;
}
