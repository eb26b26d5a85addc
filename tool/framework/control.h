// A child control that answers the window messages of its kind (edit, track bar, icon static).
#pragma once

#include "win_types.h"

class Control {
public:
    virtual ~Control() = default;
    // 0 for a message the control does not know.
    virtual LRESULT ControlProc(UINT message, WPARAM wParam, LPARAM lParam) = 0;
};

// EM_GETSEL's answer: start and end through the optional DWORD pointers, both packed in the result.
inline LRESULT SelectionResult(int start, int end, WPARAM wParam, LPARAM lParam) {
    if (wParam != 0) {
        *reinterpret_cast<DWORD*>(wParam) = static_cast<DWORD>(start);
    }
    if (lParam != 0) {
        *reinterpret_cast<DWORD*>(lParam) = static_cast<DWORD>(end);
    }
    return static_cast<LRESULT>((static_cast<DWORD>(start) & 0xFFFF) |
                                ((static_cast<DWORD>(end) & 0xFFFF) << 16));
}
