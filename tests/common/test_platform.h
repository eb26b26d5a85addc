// What differs when the link and dialog tests are built for Windows and run under Wine: a few
// behaviours belong to one platform (or to Wine) only, and the tests of them say so and are
// skipped there.
#pragma once

#include <stdlib.h>

#if defined(_WIN32)
#include "os/platform.h"

inline constexpr bool kWindowsBuild = true;

// Wine's ntdll exports its version; Windows' does not.
inline bool RunsUnderWine() {
    const HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

inline void SetEnvironment(const char* name, const char* value) { _putenv_s(name, value); }
inline void UnsetEnvironment(const char* name) { _putenv_s(name, ""); }
#else
inline constexpr bool kWindowsBuild = false;

inline bool RunsUnderWine() { return false; }

inline void SetEnvironment(const char* name, const char* value) { setenv(name, value, 1); }
inline void UnsetEnvironment(const char* name) { unsetenv(name); }
#endif

// The reasons given for skipping.
inline constexpr char kPosixOnly[] = "POSIX layer only: Windows has its own";
inline constexpr char kOwnPty[] = "the device is a pty of the test's own process, a Linux one";
inline constexpr char kWineSharesPorts[] =
    "Wine opens a COM port a second time; Windows and the Linux layer refuse it";
inline constexpr char kLinuxErrorText[] =
    "the words for a system error are the C library's on Linux; Windows has its own, in the "
    "user's language";
