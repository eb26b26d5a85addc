// Dialog units to pixels: a horizontal unit is a quarter of the dialog font's average character
// width, a vertical unit an eighth of its height.
#pragma once

#include <QRect>

#include "dialog_template.h"

class QFont;

struct DialogBaseUnits {
    int x = 0;  // average character width, pixels
    int y = 0;  // character height, pixels
};

// The average width is that of the Latin letters, as dialog templates were laid out with.
DialogBaseUnits BaseUnitsOf(const QFont& font);

// value * numerator / denominator, rounded half away from zero.
int MulDiv(int value, int numerator, int denominator);

QRect MapDialogRect(const DialogRect& rect, DialogBaseUnits units);
QSize MapDialogSize(int width, int height, DialogBaseUnits units);
