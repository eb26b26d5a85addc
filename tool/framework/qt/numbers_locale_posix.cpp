#include <locale.h>

#include "numbers_locale.h"

namespace {

// The C library formats numbers in the user's locale, which Qt adopts at start: under de_DE
// "%3.2f" would give "0,50", and such a text no longer parses as a number.
locale_t NumbersLocale() {
    static const locale_t kC = newlocale(LC_ALL_MASK, "C", nullptr);
    return kC;
}

}  // namespace

CNumbersScope::CNumbersScope() : m_saved(uselocale(NumbersLocale())) {}

CNumbersScope::~CNumbersScope() { uselocale(static_cast<locale_t>(m_saved)); }
