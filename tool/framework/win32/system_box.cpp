#include "backend.h"
#include "utf16.h"

HWND backend::TopLevelOf(HWND window) { return GetAncestor(window, GA_ROOT); }

// A window under a modal box or dialog is disabled.
bool backend::TakesInput(HWND window) { return IsWindowEnabled(window) != FALSE; }

HWND backend::ActiveModalWindow() { return GetActiveWindow(); }

int backend::ShowMessageBox(HWND owner, const std::string& text, const std::string& caption,
                            UINT type) {
    MessageBoxW(owner, Widen(text).c_str(), Widen(caption).c_str(), MB_OK | (type & MB_ICONMASK));
    return IDOK;
}
