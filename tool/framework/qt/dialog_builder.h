// Creates a template's controls on a dialog window, laid out in dialog units.
#pragma once

#include <functional>
#include <vector>

#include "dialog_template.h"
#include "dialog_units.h"

class QWidget;

struct BuiltControl {
    const ControlTemplate* source;
    QWidget* widget;
};

// Sends a control's notification (WM_COMMAND, WM_HSCROLL) to its dialog.
using NotifyDialog = std::function<void(UINT message, WPARAM wParam, LPARAM lParam)>;

// Creates the controls in template order and chains the tab stops in that order. Each control
// carries its ID as its object name and an accessible name: its caption, or what it shows.
std::vector<BuiltControl> BuildControls(QWidget* window, const DialogTemplate& dialog,
                                        DialogBaseUnits units, const NotifyDialog& notify);
