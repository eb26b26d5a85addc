// Millisecond tick counter: unsigned 32-bit, wrapping, monotonic.
#pragma once

#include "win32_types.h"

DWORD timeGetTime();

// Suspends the calling thread for the given time.
void Sleep(DWORD milliseconds);
