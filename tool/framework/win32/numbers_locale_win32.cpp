#include <clocale>
#include <string>

#include "numbers_locale.h"
#include "platform.h"

namespace {

struct Saved {
    int threadMode;
    std::string numeric;
};

}  // namespace

// The C runtime's numbers follow setlocale, process-wide unless the thread asks for its own.
CNumbersScope::CNumbersScope() {
    const int threadMode = _configthreadlocale(_ENABLE_PER_THREAD_LOCALE);
    const char* numeric = std::setlocale(LC_NUMERIC, nullptr);
    m_saved = new Saved{threadMode, numeric != nullptr ? numeric : "C"};
    std::setlocale(LC_NUMERIC, "C");
}

CNumbersScope::~CNumbersScope() {
    auto* saved = static_cast<Saved*>(m_saved);
    std::setlocale(LC_NUMERIC, saved->numeric.c_str());
    _configthreadlocale(saved->threadMode);
    delete saved;
}
