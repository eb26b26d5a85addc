// A static control showing an icon at the system icon size, anchored at its top-left corner.
#pragma once

#include <QLabel>

#include "control.h"

class IconStatic : public QLabel, public Control {
public:
    IconStatic(QWidget* parent, HICON icon);
    LRESULT ControlProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    HICON Icon() const { return m_icon; }

private:
    void Show(HICON icon);

    HICON m_icon = nullptr;
};
