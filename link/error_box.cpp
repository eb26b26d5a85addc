#include "error_box.h"

#include <mutex>

#include "os/platform.h"
#include "zeko_error_box.h"

namespace {

std::mutex g_handlerMutex;
MessageBoxHandler g_handler;

}  // namespace

void SetMessageBoxHandler(MessageBoxHandler handler) {
    std::lock_guard lock(g_handlerMutex);
    g_handler = std::move(handler);
}

void ShowErrorBox(const char* text, const char* caption) {
    MessageBoxHandler handler;
    {
        std::lock_guard lock(g_handlerMutex);
        handler = g_handler;
    }
    // The box is shown outside the lock: a handler may run a modal loop for as long as it likes.
    if (handler) {
        handler(text, caption, MB_ICONSTOP);
    } else {
        ShowStopBox(text, caption);
    }
}
