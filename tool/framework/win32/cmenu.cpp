#include "backend.h"
#include "utf16.h"

BOOL backend::AppendMenu(HMENU menu, UINT flags, UINT_PTR id, const char* text) {
    if ((flags & MF_SEPARATOR) != 0) {
        return ::AppendMenuW(menu, flags, id, nullptr);
    }
    return ::AppendMenuW(menu, flags, id, Widen(text).c_str());
}
