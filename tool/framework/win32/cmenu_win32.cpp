#include "cmenu.h"
#include "utf16.h"

BOOL CMenu::AppendMenu(UINT flags, UINT_PTR id, const char* text) {
    if ((flags & MF_SEPARATOR) != 0) {
        return ::AppendMenuW(m_hMenu, flags, id, nullptr);
    }
    if (text == nullptr) {
        return FALSE;
    }
    return ::AppendMenuW(m_hMenu, flags, id, Widen(text).c_str());
}
