// German (Germany) from the C runtime's own tables: Windows has every locale built in.
#include <locale.h>

#include "comma_decimal_locale.h"

CommaDecimalLocale::CommaDecimalLocale() : m_before(setlocale(LC_ALL, nullptr)) {
    m_adopted = setlocale(LC_ALL, "German_Germany.1252") != nullptr;
    if (!m_adopted) m_output = "the C runtime has no German_Germany.1252";
}

CommaDecimalLocale::~CommaDecimalLocale() { setlocale(LC_ALL, m_before.c_str()); }
