// The system's texts on Windows, through the wide API: in UTF-8 whatever the code page, so that
// a Chinese system's words reach a box intact.
#include <string>
#include <string_view>

#include "os/platform.h"

namespace {

std::string Narrow(std::wstring_view wide) {
    if (wide.empty()) return {};
    const int size = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()),
                                         nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(size > 0 ? size : 0), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), utf8.data(), size,
                        nullptr, nullptr);
    return utf8;
}

std::wstring Widen(const char* utf8) {
    const int size = MultiByteToWideChar(CP_UTF8, 0, utf8, -1, nullptr, 0);
    if (size <= 0) return {};
    std::wstring wide(static_cast<std::size_t>(size), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8, -1, wide.data(), size);
    wide.pop_back();  // the NUL that -1 counted
    return wide;
}

}  // namespace

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
