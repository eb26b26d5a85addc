// The calling thread's last error, as GetLastError reports it, and the system text for a code.
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

// Writes a newly allocated, NUL-terminated text for the code to *buffer (release it with
// LocalFree) and returns its length; 0 when the code has no text.
DWORD FormatMessageA(DWORD flags, LPCVOID source, DWORD code, DWORD languageId, LPSTR buffer,
                     DWORD size, void* arguments);
HANDLE LocalFree(HANDLE memory);
