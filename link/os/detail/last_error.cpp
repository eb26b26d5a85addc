#include "last_error.h"

#include <cstdlib>
#include <cstring>
#include <string>

namespace {

constexpr DWORD kErrnoCodeBit = 1u << 29;
thread_local DWORD t_lastError = ERROR_SUCCESS;

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

DWORD GetLastError() { return t_lastError; }

void SetLastError(DWORD code) { t_lastError = code; }

void SetLastErrorFromErrno(int error) { t_lastError = kErrnoCodeBit | static_cast<DWORD>(error); }

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
