// A static control its dialog draws: each paint sends the dialog WM_DRAWITEM with the painter
// as the device context. It paints every pixel of itself, so nothing is erased first.
#pragma once

#include <QWidget>

#include "control.h"
#include "dialog_builder.h"

class OwnerDrawControl : public QWidget, public Control {
public:
    OwnerDrawControl(QWidget* parent, int id, NotifyDialog notify);
    LRESULT ControlProc(UINT, WPARAM, LPARAM) override { return 0; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int m_id;
    NotifyDialog m_notify;
};
