// The probe on Windows: COM1 to COM16 in the device namespace, opened as the link opens them.
#include <windows.h>

#include <string>

#include "port_names.h"
#include "port_probe.h"

namespace {

PortState StateForOpenError(DWORD error) {
    switch (error) {
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
            return PortState::Absent;
        // A COM port is never shared: one that another program holds is refused as access.
        case ERROR_ACCESS_DENIED:
        case ERROR_SHARING_VIOLATION:
        case ERROR_BUSY:
            return PortState::Busy;
        default:
            return PortState::Unusable;
    }
}

}  // namespace

std::vector<int> CandidatePorts() {
    std::vector<int> numbers;
    for (int number = kFirstScannedPort; number <= kLastScannedPort; ++number)
        numbers.push_back(number);
    return numbers;
}

PortReport ProbePort(int number) {
    PortReport report = NamePort(number);
    const std::wstring path(report.path.begin(), report.path.end());
    const HANDLE handle = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                      OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        report.error = static_cast<int>(GetLastError());
        report.state = StateForOpenError(static_cast<DWORD>(report.error));
        return report;
    }
    // A name that opens but has no line settings is no serial port.
    DCB settings{};
    settings.DCBlength = sizeof settings;
    if (GetCommState(handle, &settings)) {
        report.state = PortState::Openable;
    } else {
        report.error = static_cast<int>(GetLastError());
        report.state = PortState::Unusable;
    }
    CloseHandle(handle);
    return report;
}

const int kPortBusyError = ERROR_BUSY;

// Through the wide API: in UTF-8 whatever the code page, so that a Chinese system's words reach
// the dialog intact.
std::string SystemErrorText(int error) {
    wchar_t* text = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, static_cast<DWORD>(error), 0, reinterpret_cast<LPWSTR>(&text), 0, nullptr);
    std::wstring words(text != nullptr ? text : L"", length);
    LocalFree(text);
    // The system's texts end with a line break, which the report's line already has.
    while (!words.empty() &&
           (words.back() == L'\n' || words.back() == L'\r' || words.back() == L' ')) {
        words.pop_back();
    }
    if (words.empty()) return "error " + std::to_string(error);
    const int wide = static_cast<int>(words.size());
    const int size =
        WideCharToMultiByte(CP_UTF8, 0, words.data(), wide, nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, words.data(), wide, utf8.data(), size, nullptr, nullptr);
    return utf8;
}
