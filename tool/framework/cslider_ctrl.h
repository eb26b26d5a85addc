// A track bar bound to a dialog member.
#pragma once

#include "cwnd.h"

class CSliderCtrl : public CWnd {
public:
    void SetRange(int minimum, int maximum, BOOL redraw = FALSE) {
        SendMessage(TBM_SETRANGE, static_cast<WPARAM>(redraw), MAKELPARAM(minimum, maximum));
    }
};
