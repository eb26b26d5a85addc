// How this layer reports failures: the calling thread's last error as GetLastError reports it,
// the system text for a code, the message box, and the opt-in trace of failing system calls.
// POSIX failures are kept as application-defined codes (bit 29 set, errno below it), so the text
// names the real cause while the Win32 codes the callers test for keep their numbers.
#pragma once

#include "win32_types.h"

inline constexpr DWORD FORMAT_MESSAGE_ALLOCATE_BUFFER = 0x00000100;
inline constexpr DWORD FORMAT_MESSAGE_FROM_SYSTEM = 0x00001000;

DWORD GetLastError();
void SetLastError(DWORD code);

// Records errno of the call that just failed as the last error.
void SetLastErrorFromErrno(int error);

// Whether a last error says the device is gone (hang-up, removal): EIO, ENXIO or ENODEV.
bool DeviceGoneError(DWORD code);

// Writes a newly allocated, NUL-terminated text for the code to *buffer (release it with
// LocalFree) and returns its length; 0 when the code has no text.
DWORD FormatMessageA(DWORD flags, LPCVOID source, DWORD code, DWORD languageId, LPSTR buffer,
                     DWORD size, void* arguments);
HANDLE LocalFree(HANDLE memory);

// Without a window system the box's text goes to standard error and nothing blocks. The link
// shows its boxes through the host's handler when one is installed (error_box.h).
int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type);

// A system call failed with `error` on `device`: records the error as the last error and, with
// KQ_DEBUG=1 in the environment, writes one line naming the call, the device and the error's
// text to standard error, so that a port that will not open shows why (missing, permission
// denied, busy). Returns FALSE for the caller to return.
BOOL FailSystemCall(const char* call, const char* device, int error);
