// While one lives, this thread formats numbers as the C locale does, with a decimal point,
// whatever locale the user or the toolkit chose.
#pragma once

class CNumbersScope {
public:
    CNumbersScope();
    ~CNumbersScope();
    CNumbersScope(const CNumbersScope&) = delete;
    CNumbersScope& operator=(const CNumbersScope&) = delete;

private:
    void* m_saved;  // the platform's note of the locale before
};
