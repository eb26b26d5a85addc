// System metrics the dialogs ask for.
#pragma once

#include "win_types.h"

// SM_CXICON and SM_CYICON: the standard icon size, 32 pixels; 0 for anything else.
int GetSystemMetrics(int index);
