// A single-line edit control. Data exchange selects its whole text (EM_SETSEL with 0 and -1) when
// it puts the focus on a field that failed; it takes no other message.
#pragma once

#include <QLineEdit>

#include "control.h"

class SingleLineEdit : public QLineEdit, public Control {
public:
    explicit SingleLineEdit(QWidget* parent) : QLineEdit(parent) {}
    LRESULT ControlProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == EM_SETSEL && wParam == 0 && lParam == -1) {
            selectAll();
        }
        return 0;
    }
};
