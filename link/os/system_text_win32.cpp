// The system's texts on Windows, through the wide API: in UTF-8 whatever the code page, so that
// a Chinese system's words reach a box intact.
#include <string>
#include <string_view>

#include "os/platform.h"
#include "utf16.h"

std::string SystemErrorWords(DWORD error) {
    wchar_t* words = nullptr;
    // Inserts are left as they stand: the words are shown, never filled in.
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), reinterpret_cast<LPWSTR>(&words),
        0, nullptr);
    std::string utf8 = Narrow(std::wstring_view(words != nullptr ? words : L"", length));
    LocalFree(words);
    return utf8;
}

void ShowStopBox(const char* text, const char* caption) {
    MessageBoxW(nullptr, Widen(text).c_str(), Widen(caption).c_str(), MB_ICONSTOP);
}
