// A menu the dialogs add items to: the dialog's system menu.
#pragma once

#include <functional>

#include "win_types.h"

class QMenu;

class CMenu {
public:
    // `command` receives the ID of the item chosen, after the menu has closed.
    CMenu(QMenu* menu, std::function<void(UINT id)> command)
        : menu_(menu), command_(std::move(command)) {}

    // MF_SEPARATOR, or MF_STRING with an ID and a text whose "&x" marks the mnemonic x.
    BOOL AppendMenu(UINT flags, UINT_PTR id = 0, const char* text = nullptr);

private:
    QMenu* menu_;
    std::function<void(UINT id)> command_;
};
