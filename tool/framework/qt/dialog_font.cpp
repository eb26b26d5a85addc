#include "dialog_font.h"

#include <QStringList>
#include <cstring>

QFont DialogFont(const char* face, int pointSize) {
    QFont font;
    if (std::strcmp(face, "宋体") == 0) {
        font.setFamilies({QStringLiteral("AR PL UMing CN"), QStringLiteral("SimSun"),
                          QStringLiteral("Noto Serif CJK SC"), QStringLiteral("Noto Sans CJK SC"),
                          QStringLiteral("WenQuanYi Zen Hei"),
                          QStringLiteral("Droid Sans Fallback")});
        font.setStyleHint(QFont::Serif);
    } else {
        font.setFamily(QString::fromUtf8(face));
    }
    font.setPointSize(pointSize);
    return font;
}
