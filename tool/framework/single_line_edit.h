// A single-line edit control.
#pragma once

#include <QLineEdit>

#include "control.h"

class SingleLineEdit : public QLineEdit, public Control {
public:
    explicit SingleLineEdit(QWidget* parent) : QLineEdit(parent) {}
    LRESULT ControlProc(UINT message, WPARAM wParam, LPARAM lParam) override;
};
