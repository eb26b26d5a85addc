// MessageBoxA without a window system: the text goes to standard error and nothing blocks. The
// link shows its boxes through the host's handler when one is installed (error_box.h).
#pragma once

#include "win32_types.h"

int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type);
