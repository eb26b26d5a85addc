// While one lives, this thread formats numbers as the C locale does, with a decimal point,
// whatever locale the user or the toolkit chose.
#pragma once

#include "backend.h"

class CNumbersScope {
public:
    CNumbersScope() : m_saved(backend::UseCNumbers()) {}
    ~CNumbersScope() { backend::RestoreNumbers(m_saved); }
    CNumbersScope(const CNumbersScope&) = delete;
    CNumbersScope& operator=(const CNumbersScope&) = delete;

private:
    void* m_saved;  // the backend's note of the locale before
};
