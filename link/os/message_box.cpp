#include "message_box.h"

#include <cstdio>
#include <mutex>

namespace {

std::mutex g_handlerMutex;
MessageBoxHandler g_handler;

}  // namespace

void SetMessageBoxHandler(MessageBoxHandler handler) {
    std::lock_guard lock(g_handlerMutex);
    g_handler = std::move(handler);
}

int MessageBoxA(HWND, LPCSTR text, LPCSTR caption, UINT type) {
    MessageBoxHandler handler;
    {
        std::lock_guard lock(g_handlerMutex);
        handler = g_handler;
    }
    if (handler) {
        handler(text, caption, type);
    } else {
        std::fprintf(stderr, "%s: %s\n", caption, text);
    }
    return 1;  // IDOK: the box has only an OK button
}
