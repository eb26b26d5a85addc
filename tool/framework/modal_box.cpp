#include "modal_box.h"

#include <utility>

#include "cwin_app.h"
#include "system_box.h"

namespace {

MessageBoxHook& Hook() {
    static MessageBoxHook hook;
    return hook;
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
    return ShowSystemMessageBox(owner, text, title, type);
}

int AfxMessageBox(const char* text, UINT type) {
    return ShowMessageBox(nullptr, text, nullptr, type);
}
