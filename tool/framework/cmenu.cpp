#include "cmenu.h"

#include <QMenu>

BOOL CMenu::AppendMenu(UINT flags, UINT_PTR id, const char* text) {
    if ((flags & MF_SEPARATOR) != 0) {
        m_menu->addSeparator();
        return TRUE;
    }
    if (text == nullptr) {
        return FALSE;
    }
    QAction* item = m_menu->addAction(QString::fromUtf8(text));
    // Queued, so that the command runs once the menu is gone, not inside its event handling.
    QObject::connect(item, &QAction::triggered, m_menu, [menu = m_menu, command = m_command, id] {
        QMetaObject::invokeMethod(
            menu, [command, id] { command(static_cast<UINT>(id)); }, Qt::QueuedConnection);
    });
    return TRUE;
}
