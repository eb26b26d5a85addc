#include "error_report.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

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

bool DeviceGoneError(DWORD code) {
    if ((code & kErrnoCodeBit) == 0) return false;
    const auto error = static_cast<int>(code & ~kErrnoCodeBit);
    return error == EIO || error == ENXIO || error == ENODEV;
}

DWORD FormatMessageA(DWORD, LPCVOID, DWORD code, DWORD, LPSTR buffer, DWORD, void*) {
    const std::string known = TextFor(code);
    if (known.empty()) return 0;
    const std::string text = known + "\r\n";
    auto* copy = static_cast<char*>(std::malloc(text.size() + 1));
    if (copy == nullptr) return 0;
    std::memcpy(copy, text.c_str(), text.size() + 1);
    *reinterpret_cast<char**>(buffer) = copy;
    return static_cast<DWORD>(text.size());
}

HANDLE LocalFree(HANDLE memory) {
    std::free(memory);
    return nullptr;
}

int MessageBoxA(HWND, LPCSTR text, LPCSTR caption, UINT) {
    std::fprintf(stderr, "%s: %s\n", caption, text);
    return 1;  // IDOK: the box has only an OK button
}

BOOL FailSystemCall(const char* call, const char* device, int error) {
    const char* trace = std::getenv(kTraceVariable);
    if (trace != nullptr && std::strcmp(trace, "1") == 0)
        std::fprintf(stderr, "zeko: %s %s: %s\n", call, device, std::strerror(error));
    SetLastErrorFromErrno(error);
    return FALSE;
}
