// Unnamed events: manual-reset or auto-reset, backed by an eventfd so that a wait can sleep in
// poll() on events and serial ports together.
#pragma once

#include "kernel_object.h"

HANDLE CreateEventA(void* attributes, BOOL manualReset, BOOL initialState, LPCSTR name);
BOOL SetEvent(HANDLE event);
BOOL ResetEvent(HANDLE event);
