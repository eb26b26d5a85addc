#include <locale.h>

#include "backend.h"

namespace {

// The C library formats numbers in the user's locale, which Qt adopts at start: under de_DE
// "%3.2f" would give "0,50", and such a text no longer parses as a number.
locale_t NumbersLocale() {
    static const locale_t kC = newlocale(LC_ALL_MASK, "C", nullptr);
    return kC;
}

}  // namespace

void* backend::UseCNumbers() { return uselocale(NumbersLocale()); }

void backend::RestoreNumbers(void* saved) { uselocale(static_cast<locale_t>(saved)); }
