// A menu the dialogs add items to: the dialog's system menu.
#pragma once

#include <functional>

#include "win_types.h"

class QMenu;

class CMenu {
public:
    // `command` receives the ID of the item chosen, after the menu has closed.
    CMenu(QMenu* menu, std::function<void(UINT id)> command)
        : m_menu(menu), m_command(std::move(command)) {}

    // MF_SEPARATOR, or MF_STRING with an ID and a text whose "&x" marks the mnemonic x.
    BOOL AppendMenu(UINT flags, UINT_PTR id = 0, const char* text = nullptr);

private:
    QMenu* m_menu;
    std::function<void(UINT id)> m_command;
};
