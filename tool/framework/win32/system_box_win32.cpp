#include "cwin_app.h"
#include "cwnd.h"
#include "system_box.h"
#include "utf16.h"

namespace {

// The owner's top-level window while it takes input; else the window of this thread that is
// active (a modal box or dialog over the owner); else the main window.
HWND OwnerOf(HWND owner) {
    HWND window = owner != nullptr ? GetAncestor(owner, GA_ROOT) : nullptr;
    if (window != nullptr && IsWindowEnabled(window)) {
        return window;
    }
    if (HWND active = GetActiveWindow()) {
        return active;
    }
    const CWnd* main = AfxGetMainWnd();
    return window != nullptr ? window : main != nullptr ? main->GetSafeHwnd() : nullptr;
}

}  // namespace

int ShowSystemMessageBox(HWND owner, const std::string& text, const std::string& caption,
                         UINT type) {
    MessageBoxW(OwnerOf(owner), Widen(text).c_str(), Widen(caption).c_str(),
                MB_OK | (type & MB_ICONMASK));
    return IDOK;
}
