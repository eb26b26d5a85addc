#include "error_report.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "os/platform.h"

namespace {

constexpr DWORD kErrnoCodeBit = 1u << 29;
constexpr char kTraceVariable[] = "KQ_DEBUG";
thread_local DWORD g_lastError = ERROR_SUCCESS;

std::string TextFor(DWORD code) {
    if (code & kErrnoCodeBit) return std::strerror(static_cast<int>(code & ~kErrnoCodeBit));
    switch (code) {
        case ERROR_SUCCESS:
            return "The operation completed successfully.";
        case ERROR_FILE_NOT_FOUND:
            return "The system cannot find the file specified.";
        case ERROR_INVALID_HANDLE:
            return "The handle is invalid.";
        case ERROR_INVALID_PARAMETER:
            return "The parameter is incorrect.";
        case ERROR_IO_PENDING:
            return "Overlapped I/O operation is in progress.";
        default:
            return {};
    }
}

}  // namespace

DWORD GetLastError() { return g_lastError; }

void SetLastError(DWORD code) { g_lastError = code; }

void SetLastErrorFromErrno(int error) { g_lastError = kErrnoCodeBit | static_cast<DWORD>(error); }

bool ErrnoMeansDeviceGone(int error) { return error == EIO || error == ENXIO || error == ENODEV; }

bool LastErrorMeansDeviceGone(DWORD code) {
    return (code & kErrnoCodeBit) != 0 &&
           ErrnoMeansDeviceGone(static_cast<int>(code & ~kErrnoCodeBit));
}

// Ended with a line break, as the system's texts are.
std::string SystemErrorWords(DWORD error) {
    const std::string known = TextFor(error);
    return known.empty() ? known : known + "\r\n";
}

// Without a window system the box's text goes to standard error and nothing blocks.
void ShowStopBox(const char* text, const char* caption) {
    std::fprintf(stderr, "%s: %s\n", caption, text);
}

BOOL FailSystemCall(const char* call, const char* device, int error) {
    const char* trace = std::getenv(kTraceVariable);
    if (trace != nullptr && std::strcmp(trace, "1") == 0)
        std::fprintf(stderr, "zeko: %s %s: %s\n", call, device, std::strerror(error));
    SetLastErrorFromErrno(error);
    return FALSE;
}
