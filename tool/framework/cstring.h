// The dialogs' text type: UTF-8 bytes, formatted printf-style (numbers with a decimal point in
// every locale), loadable from the string table.
#pragma once

#include <string>

#include "platform.h"

class CString {
public:
    CString() = default;
    CString(const char* text) : m_text(text != nullptr ? text : "") {}  // NOLINT: as MFC converts
    CString(std::string text) : m_text(std::move(text)) {}              // NOLINT

    void Format(const char* format, ...) __attribute__((format(printf, 2, 3)));
    // Empties the text when the string table has no entry `id`.
    BOOL LoadString(UINT id);

    BOOL IsEmpty() const { return m_text.empty(); }
    operator const char*() const { return m_text.c_str(); }  // NOLINT: LPCTSTR, as MFC converts
    const std::string& str() const { return m_text; }

    CString& operator+=(const CString& other) {
        m_text += other.m_text;
        return *this;
    }
    friend CString operator+(CString left, const CString& right) { return left += right; }
    friend bool operator==(const CString& left, const CString& right) = default;

private:
    std::string m_text;
};
