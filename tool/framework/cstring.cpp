#include "cstring.h"

#include <QString>
#include <cstdarg>
#include <cstdio>

#include "resource_module.h"

void CString::Format(const char* format, ...) {
    va_list args;
    va_start(args, format);
    va_list measure;
    va_copy(measure, args);
    const int length = std::vsnprintf(nullptr, 0, format, measure);
    va_end(measure);
    if (length < 0) {
        text_.clear();
    } else {
        text_.assign(static_cast<std::size_t>(length) + 1, '\0');
        std::vsnprintf(text_.data(), text_.size(), format, args);
        text_.pop_back();
    }
    va_end(args);
}

BOOL CString::LoadString(UINT id) {
    const char* text = AfxGetResourceHandle().findString(id);
    text_ = text != nullptr ? text : "";
    return text != nullptr;
}

QString ToQString(const char* text) { return QString::fromUtf8(text); }

CString FromQString(const QString& text) { return CString(text.toUtf8().toStdString()); }
