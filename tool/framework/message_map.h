// A window's message map: a table of the messages a window class handles itself, each with its
// handler, chained to the table of the class it derives from. Dispatch walks the chain from the
// most derived table and calls the first entry that matches; a message no entry matches goes to
// default processing.
#pragma once

#include <functional>
#include <vector>

#include "platform.h"

class CWnd;

struct MessageMapEntry {
    UINT message = 0;
    UINT code = 0;  // WM_COMMAND: the notification code
    UINT id = 0;    // WM_COMMAND: the control or command ID
    std::function<LRESULT(CWnd& window, WPARAM wParam, LPARAM lParam)> handler;
};

struct MessageMap {
    const MessageMap* base = nullptr;
    std::vector<MessageMapEntry> entries;
};

// The first entry of the chain that takes the message, or nullptr.
const MessageMapEntry* FindMessageEntry(const MessageMap* map, UINT message, WPARAM wParam);

// Entries, named after the message they take. T is the class whose table holds the entry.

// An entry whose handler takes no parameters; the message's result is 0.
template <class T>
MessageMapEntry ParameterlessEntry(UINT message, UINT code, UINT id, void (T::*handler)()) {
    return {message, code, id, [handler](CWnd& window, WPARAM, LPARAM) {
                (static_cast<T&>(window).*handler)();
                return LRESULT{0};
            }};
}

template <class T>
MessageMapEntry ON_COMMAND(UINT id, void (T::*handler)()) {
    return ParameterlessEntry(WM_COMMAND, BN_CLICKED, id, handler);
}

template <class T>
MessageMapEntry ON_BN_CLICKED(UINT id, void (T::*handler)()) {
    return ON_COMMAND(id, handler);
}

template <class T>
MessageMapEntry ON_WM_SYSCOMMAND(void (T::*handler)(UINT, LPARAM)) {
    return {WM_SYSCOMMAND, 0, 0, [handler](CWnd& window, WPARAM wParam, LPARAM lParam) {
                (static_cast<T&>(window).*handler)(static_cast<UINT>(wParam), lParam);
                return LRESULT{0};
            }};
}

template <class T>
MessageMapEntry ON_WM_PAINT(void (T::*handler)()) {
    return ParameterlessEntry(WM_PAINT, 0, 0, handler);
}

template <class T>
MessageMapEntry ON_WM_QUERYDRAGICON(HCURSOR (T::*handler)()) {
    return {WM_QUERYDRAGICON, 0, 0, [handler](CWnd& window, WPARAM, LPARAM) {
                return reinterpret_cast<LRESULT>((static_cast<T&>(window).*handler)());
            }};
}

template <class T>
MessageMapEntry ON_WM_TIMER(void (T::*handler)(UINT_PTR)) {
    return {WM_TIMER, 0, 0, [handler](CWnd& window, WPARAM wParam, LPARAM) {
                (static_cast<T&>(window).*handler)(static_cast<UINT_PTR>(wParam));
                return LRESULT{0};
            }};
}

template <class T>
MessageMapEntry ON_WM_DESTROY(void (T::*handler)()) {
    return ParameterlessEntry(WM_DESTROY, 0, 0, handler);
}

// A message of the window's own (WM_APP and up), posted or sent.
template <class T>
MessageMapEntry ON_MESSAGE(UINT message, LRESULT (T::*handler)(WPARAM, LPARAM)) {
    return {message, 0, 0, [handler](CWnd& window, WPARAM wParam, LPARAM lParam) {
                return (static_cast<T&>(window).*handler)(wParam, lParam);
            }};
}

// The scroll code, the position (thumb codes only) and the slider that scrolled, which the
// dialog finds among its controls.
template <class T>
MessageMapEntry ON_WM_HSCROLL(void (T::*handler)(UINT, UINT, CWnd*)) {
    return {WM_HSCROLL, 0, 0, [handler](CWnd& window, WPARAM wParam, LPARAM lParam) {
                auto& dialog = static_cast<T&>(window);
                (dialog.*handler)(LOWORD(wParam), HIWORD(wParam),
                                  dialog.ItemFromHandle(reinterpret_cast<HWND>(lParam)));
                return LRESULT{0};
            }};
}

// The new client width and height.
template <class T>
MessageMapEntry ON_WM_SIZE(void (T::*handler)(UINT, int, int)) {
    return {WM_SIZE, 0, 0, [handler](CWnd& window, WPARAM wParam, LPARAM lParam) {
                (static_cast<T&>(window).*handler)(static_cast<UINT>(wParam), LOWORD(lParam),
                                                   HIWORD(lParam));
                return LRESULT{0};
            }};
}

// A control the dialog draws itself asks to be drawn.
template <class T>
MessageMapEntry ON_WM_DRAWITEM(void (T::*handler)(int, LPDRAWITEMSTRUCT)) {
    return {WM_DRAWITEM, 0, 0, [handler](CWnd& window, WPARAM wParam, LPARAM lParam) {
                (static_cast<T&>(window).*handler)(static_cast<int>(wParam),
                                                   reinterpret_cast<LPDRAWITEMSTRUCT>(lParam));
                return LRESULT{TRUE};
            }};
}
