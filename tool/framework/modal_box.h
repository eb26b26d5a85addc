// Modal message boxes. A box runs a nested event loop, so timers keep ticking while it is open.
// Tests install a hook that receives each box instead of showing it.
#pragma once

#include <functional>
#include <string>

#include "platform.h"

// The texts are UTF-8, as the dialogs write them.
struct MessageBoxRequest {
    HWND owner;
    std::string text;
    std::string caption;
    UINT type;
};

// Returns the button that closed the box (IDOK).
using MessageBoxHook = std::function<int(const MessageBoxRequest& box)>;

// Replaces the hook and returns the one before; an empty hook shows boxes again.
MessageBoxHook SetMessageBoxHook(MessageBoxHook hook);

// A box with an OK button and the icon `type` names, over `owner`'s window while it takes input
// (else over the modal box or dialog on top, else over the main window). A null caption is the
// application's name.
int ShowMessageBox(HWND owner, const char* text, const char* caption, UINT type);

// A box owned by the application's main window.
int AfxMessageBox(const char* text, UINT type = MB_OK);
