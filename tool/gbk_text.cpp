#include "gbk_text.h"

#include <QStringEncoder>

std::string ToGbk(const CString& text) {
    QStringEncoder encoder("GBK");
    const QByteArray bytes = encoder.encode(ToQString(text));
    return bytes.toStdString();
}
