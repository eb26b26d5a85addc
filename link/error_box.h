// The link's "Application Error" box: through the host's handler when one is installed (see
// zeko_error_box.h), else the platform's own box.
#pragma once

// Shows text (UTF-8) with the stop icon and returns when the box has been closed.
void ShowErrorBox(const char* text, const char* caption);
