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
