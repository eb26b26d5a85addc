// Dialog units to pixels, and the font the templates' "宋体" becomes.
#include "dialog_units.h"

#include <gtest/gtest.h>

#include <QFontInfo>
#include <QFontMetrics>
#include <cmath>

#include "dialog_font.h"

TEST(DialogUnitsTest, MulDivRoundsHalfAwayFromZero) {
    const struct {
        int value, numerator, denominator, result;
    } cases[] = {
        {319, 7, 4, 558}, {245, 13, 8, 398}, {1, 7, 4, 2},   {2, 13, 8, 3},
        {3, 1, 2, 2},     {-3, 1, 2, -2},    {5, -1, 2, -3}, {0, 9, 4, 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(MulDiv(c.value, c.numerator, c.denominator), c.result)
            << c.value << " * " << c.numerator << " / " << c.denominator;
    }
}

TEST(DialogUnitsTest, RectanglesScaleByQuarterWidthAndEighthHeight) {
    const DialogBaseUnits units{.x = 7, .y = 13};
    EXPECT_EQ(MapDialogRect({51, 30, 42, 12}, units), QRect(89, 49, 74, 20));
    EXPECT_EQ(MapDialogRect({6, 236, 309, 1}, units), QRect(11, 384, 541, 2));
    EXPECT_EQ(MapDialogSize(235, 55, {.x = 6, .y = 12}), QSize(353, 83));
}

TEST(DialogUnitsTest, BaseUnitsComeFromTheLatinLettersAndTheFontHeight) {
    const QFont font = DialogFont("宋体", 10);
    const QFontMetrics metrics(font);
    const DialogBaseUnits units = BaseUnitsOf(font);
    const double average =
        metrics.horizontalAdvance("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz") / 52.0;
    EXPECT_LE(std::abs(units.x - average), 0.5);
    EXPECT_EQ(units.y, metrics.height());
}

TEST(DialogUnitsTest, SongFaceBecomesTheFreeSongFace) {
    EXPECT_EQ(QFontInfo(DialogFont("宋体", 9)).family().toStdString(), "AR PL UMing CN");
    EXPECT_EQ(DialogFont("宋体", 9).pointSize(), 9);
    EXPECT_EQ(DialogFont("DejaVu Sans", 10).family().toStdString(), "DejaVu Sans");
}
