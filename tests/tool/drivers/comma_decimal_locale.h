// A German locale, whose numbers take a decimal comma, adopted for the whole process while this
// lives, as a program adopts the user's at start; the locale before comes back afterwards.
#pragma once

#include <filesystem>
#include <string>

class CommaDecimalLocale {
public:
    CommaDecimalLocale();
    ~CommaDecimalLocale();
    CommaDecimalLocale(const CommaDecimalLocale&) = delete;
    CommaDecimalLocale& operator=(const CommaDecimalLocale&) = delete;

    bool Adopted() const { return m_adopted; }
    // What went wrong when it was not adopted.
    const std::string& Output() const { return m_output; }

private:
    std::string m_before;
    std::filesystem::path m_folder;  // its own folder, where it is built for the test
    std::string m_output;
    bool m_adopted = false;
};
