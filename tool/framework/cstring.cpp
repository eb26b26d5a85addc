#include "cstring.h"

#include <cstdarg>
#include <cstdio>

#include "numbers_locale.h"
#include "resource_module.h"

// The dialogs' numbers are written with a decimal point whatever the locale.
void CString::Format(const char* format, ...) {
    const CNumbersScope numbers;
    va_list args;
    va_start(args, format);
    va_list measure;
    va_copy(measure, args);
    const int length = std::vsnprintf(nullptr, 0, format, measure);
    va_end(measure);
    if (length < 0) {
        m_text.clear();
    } else {
        m_text.assign(static_cast<std::size_t>(length) + 1, '\0');
        std::vsnprintf(m_text.data(), m_text.size(), format, args);
        m_text.pop_back();
    }
    va_end(args);
}

BOOL CString::LoadString(UINT id) {
    const char* text = AfxGetResourceHandle().findString(id);
    m_text = text != nullptr ? text : "";
    return text != nullptr;
}
