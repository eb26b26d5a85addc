#include "dialog_units.h"

#include <QFontMetrics>
#include <cstdlib>

DialogBaseUnits BaseUnitsOf(const QFont& font) {
    static const QString kAlphabet =
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    const QFontMetrics metrics(font);
    const int letters = static_cast<int>(kAlphabet.size());
    return {.x = (metrics.horizontalAdvance(kAlphabet) + letters / 2) / letters,
            .y = metrics.height()};
}

int MulDiv(int value, int numerator, int denominator) {
    const long long product = static_cast<long long>(value) * numerator;
    const long long half = std::llabs(static_cast<long long>(denominator)) / 2;
    const long long rounded = (product < 0) == (denominator < 0) ? product + half : product - half;
    return static_cast<int>(rounded / denominator);
}

QRect MapDialogRect(const DialogRect& rect, DialogBaseUnits units) {
    return {MulDiv(rect.x, units.x, 4), MulDiv(rect.y, units.y, 8), MulDiv(rect.width, units.x, 4),
            MulDiv(rect.height, units.y, 8)};
}

QSize MapDialogSize(int width, int height, DialogBaseUnits units) {
    return {MulDiv(width, units.x, 4), MulDiv(height, units.y, 8)};
}
