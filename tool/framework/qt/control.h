// A child control that answers the window messages of its kind (edit, track bar, icon static).
#pragma once

#include "platform.h"

class Control {
public:
    virtual ~Control() = default;
    // 0 for a message the control does not know.
    virtual LRESULT ControlProc(UINT message, WPARAM wParam, LPARAM lParam) = 0;
};
