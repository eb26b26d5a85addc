#include "cmenu.h"

#include "backend.h"

BOOL CMenu::AppendMenu(UINT flags, UINT_PTR id, const char* text) {
    if ((flags & MF_SEPARATOR) == 0 && text == nullptr) {
        return FALSE;
    }
    return backend::AppendMenu(m_hMenu, flags, id, text);
}
