// A radio button that answers BM_GETCHECK and BM_SETCHECK. The radio buttons of one dialog
// clear each other, as the dialogs have a single group of them.
#pragma once

#include <QRadioButton>

#include "control.h"

class RadioButton : public QRadioButton, public Control {
public:
    RadioButton(const QString& text, QWidget* parent) : QRadioButton(text, parent) {}

    LRESULT ControlProc(UINT message, WPARAM wParam, LPARAM) override {
        if (message == BM_GETCHECK) {
            return isChecked() ? BST_CHECKED : BST_UNCHECKED;
        }
        if (message == BM_SETCHECK) {
            setChecked(wParam == BST_CHECKED);
        }
        return 0;
    }
};
