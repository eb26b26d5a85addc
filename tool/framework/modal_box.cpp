#include "modal_box.h"

#include <utility>

#include "backend.h"
#include "cwin_app.h"
#include "cwnd.h"

namespace {

MessageBoxHook& Hook() {
    static MessageBoxHook hook;
    return hook;
}

// The owner's top-level window while it takes input; else the modal box or dialog that does (one
// over the owner, which would otherwise open a box the user cannot reach); else the owner's window
// all the same, so the box stays with the window that asked; else the main window.
HWND BoxOwner(HWND owner) {
    const HWND window = owner != nullptr ? backend::TopLevelOf(owner) : nullptr;
    if (window != nullptr && backend::TakesInput(window)) {
        return window;
    }
    if (const HWND modal = backend::ActiveModalWindow()) {
        return modal;
    }
    const CWnd* main = AfxGetMainWnd();
    return window != nullptr ? window : main != nullptr ? main->GetSafeHwnd() : nullptr;
}

}  // namespace

MessageBoxHook SetMessageBoxHook(MessageBoxHook hook) {
    return std::exchange(Hook(), std::move(hook));
}

int ShowMessageBox(HWND owner, const char* text, const char* caption, UINT type) {
    const std::string title = caption != nullptr ? caption : AfxGetAppName();
    if (Hook()) {
        return Hook()(MessageBoxRequest{owner, text, title, type});
    }
    return backend::ShowMessageBox(BoxOwner(owner), text, title, type);
}

int AfxMessageBox(const char* text, UINT type) {
    return ShowMessageBox(nullptr, text, nullptr, type);
}
