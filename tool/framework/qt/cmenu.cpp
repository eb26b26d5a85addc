#include <QMenu>

#include "backend.h"
#include "dialog_window.h"
#include "qt_handles.h"

// The menu belongs to its dialog's window, which sends the dialog the command.
BOOL backend::AppendMenu(HMENU menu, UINT flags, UINT_PTR id, const char* text) {
    QMenu* items = MenuOf(menu);
    if ((flags & MF_SEPARATOR) != 0) {
        items->addSeparator();
        return TRUE;
    }
    auto* window = dynamic_cast<DialogWindow*>(items->parentWidget());
    if (window == nullptr) {
        return FALSE;
    }
    QAction* item = items->addAction(QString::fromUtf8(text));
    QObject::connect(item, &QAction::triggered, window,
                     [window, id] { window->SystemCommand(static_cast<UINT>(id)); });
    return TRUE;
}
