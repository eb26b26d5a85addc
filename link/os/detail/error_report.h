// How this layer reports failures: the calling thread's last error as GetLastError reports it,
// the system's words for a code (SystemErrorWords, platform.h), and the opt-in trace of failing
// system calls.
// POSIX failures are kept as application-defined codes (bit 29 set, errno below it), so the text
// names the real cause while the Win32 codes the callers test for keep their numbers.
#pragma once

#include "win32_types.h"

DWORD GetLastError();
void SetLastError(DWORD code);

// Sets the last error and returns FALSE, for a call to fail with.
inline BOOL FailWith(DWORD code) {
    SetLastError(code);
    return FALSE;
}

// Records errno of the call that just failed as the last error.
void SetLastErrorFromErrno(int error);

// Whether an errno value says the device is gone (hang-up, removal): EIO, ENXIO or ENODEV.
bool ErrnoMeansDeviceGone(int error);
// Whether a last error says so: one recorded from such an errno.
bool LastErrorMeansDeviceGone(DWORD code);

// A system call failed with `error` on `device`: records the error as the last error and, with
// KQ_DEBUG=1 in the environment, writes one line naming the call, the device and the error's
// text to standard error, so that a port that will not open shows why (missing, permission
// denied, busy). Returns FALSE for the caller to return.
BOOL FailSystemCall(const char* call, const char* device, int error);
