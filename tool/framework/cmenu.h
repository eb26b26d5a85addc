// A menu the dialogs add items to: the dialog's system menu. Choosing an item sends the dialog
// WM_SYSCOMMAND with the item's ID.
#pragma once

#include "platform.h"

class CMenu {
public:
    explicit CMenu(HMENU menu) : m_hMenu(menu) {}

    // MF_SEPARATOR, or MF_STRING with an ID and a text whose "&x" marks the mnemonic x.
    BOOL AppendMenu(UINT flags, UINT_PTR id = 0, const char* text = nullptr);
    HMENU GetSafeHmenu() const { return m_hMenu; }

private:
    HMENU m_hMenu;
};
