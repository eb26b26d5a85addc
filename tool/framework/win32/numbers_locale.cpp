#include <clocale>
#include <string>

#include "backend.h"

namespace {

struct Saved {
    int threadMode;
    std::string numeric;
};

}  // namespace

// The C runtime's numbers follow setlocale, process-wide unless the thread asks for its own.
void* backend::UseCNumbers() {
    const int threadMode = _configthreadlocale(_ENABLE_PER_THREAD_LOCALE);
    const char* numeric = std::setlocale(LC_NUMERIC, nullptr);
    auto* saved = new Saved{threadMode, numeric != nullptr ? numeric : "C"};
    std::setlocale(LC_NUMERIC, "C");
    return saved;
}

void backend::RestoreNumbers(void* saved) {
    auto* before = static_cast<Saved*>(saved);
    std::setlocale(LC_NUMERIC, before->numeric.c_str());
    _configthreadlocale(before->threadMode);
    delete before;
}
