// The platform's own message box, which ShowMessageBox opens when no test hook takes the box.
#pragma once

#include <string>

#include "platform.h"

// Modal over `owner` (else over the window that is active, else the main window); returns IDOK.
int ShowSystemMessageBox(HWND owner, const std::string& text, const std::string& caption,
                         UINT type);
