#include "cstring.h"

#include <locale.h>

#include <QString>
#include <cstdarg>
#include <cstdio>

#include "resource_module.h"

namespace {

// The C library formats numbers in the user's locale, which Qt adopts at start: under de_DE
// "%3.2f" would give "0,50", and such a text no longer parses as a number. The dialogs' numbers
// are written with a decimal point whatever the locale.
locale_t NumbersLocale() {
    static const locale_t kC = newlocale(LC_ALL_MASK, "C", nullptr);
    return kC;
}

}  // namespace

void CString::Format(const char* format, ...) {
    const locale_t userLocale = uselocale(NumbersLocale());
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
    uselocale(userLocale);
}

BOOL CString::LoadString(UINT id) {
    const char* text = AfxGetResourceHandle().findString(id);
    m_text = text != nullptr ? text : "";
    return text != nullptr;
}

QString ToQString(const char* text) { return QString::fromUtf8(text); }

CString FromQString(const QString& text) { return CString(text.toUtf8().toStdString()); }
