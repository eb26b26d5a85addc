// The link's modal error box. The program that hosts the library installs a handler that shows
// it (the tool shows a modal box); with none installed the text goes to standard error and
// nothing blocks.
#pragma once

#include <functional>

#include "win32_types.h"

using MessageBoxHandler = std::function<void(const char* text, const char* caption, UINT type)>;

// Replaces the handler; an empty one restores the standard-error default.
void SetMessageBoxHandler(MessageBoxHandler handler);

int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type);
