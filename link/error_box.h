// The link's "Application Error" box: through the host's handler when one is installed (see
// zeko_error_box.h), else the platform's MessageBoxA.
#pragma once

// Shows text with the stop icon and returns when the box has been closed.
void ShowErrorBox(const char* text, const char* caption);
