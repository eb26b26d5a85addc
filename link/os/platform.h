// The link's one platform switch: the port class and the connection code include this header and
// nothing else from os/. On Windows it is the real Win32 API; elsewhere the POSIX emulation of the
// same calls, with the same names, types and meanings, in os/detail/ (private to the link).
#pragma once

#if defined(_WIN32)
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
// After windows.h, which it needs: timeGetTime.
#include <mmsystem.h>
// Windows knows COM10 and above only in the device namespace, which serves COM1-COM9 as well.
inline constexpr char kPortNameFormat[] = "\\\\.\\COM%d";

// Whether a failed wait, read or write says the device is gone: what USB serial drivers give
// once their adapter is pulled, and what Wine gives for a hung-up terminal.
inline bool DeviceGoneError(DWORD error) {
    switch (error) {
        case ERROR_ACCESS_DENIED:
        case ERROR_BAD_COMMAND:
        case ERROR_NOT_READY:
        case ERROR_GEN_FAILURE:
        case ERROR_OPERATION_ABORTED:
        case ERROR_DEVICE_NOT_CONNECTED:
        case ERROR_DEVICE_REMOVED:
        case ERROR_IO_DEVICE:
        case ERROR_INVALID_HANDLE:
        case ERROR_BROKEN_PIPE:
            return true;
        default:
            return false;
    }
}
#else
#include "os/detail/error_report.h"
#include "os/detail/serial.h"
#include "os/detail/synchronization.h"
#include "os/detail/timing.h"
#include "os/detail/wait.h"
// The emulation resolves COM<n> itself (ports/port_names.h).
inline constexpr char kPortNameFormat[] = "COM%d";
#endif
