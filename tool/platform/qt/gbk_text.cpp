#include "gbk_text.h"

#include <QStringEncoder>

std::optional<std::string> ToGbk(const CString& text) {
    QStringEncoder encoder("GBK");
    if (!encoder.isValid()) {
        return std::nullopt;
    }
    const QByteArray bytes = encoder.encode(QString::fromStdString(text.str()));
    return bytes.toStdString();
}
