// Waiting on events and on pending serial-port waits, sleeping in poll() against a monotonic
// deadline: a wait never spins.
#pragma once

#include "win32_types.h"

DWORD WaitForSingleObject(HANDLE handle, DWORD milliseconds);
// Returns WAIT_OBJECT_0 + the lowest index of a signalled handle, WAIT_TIMEOUT or WAIT_FAILED.
// A port that becomes readable (or hangs up) completes its pending comm wait and so signals
// that wait's event.
DWORD WaitForMultipleObjects(DWORD count, const HANDLE* handles, BOOL waitAll, DWORD milliseconds);
