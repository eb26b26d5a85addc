// Where "COM<n>" lives: $KQ_PORTS_DIR/COM<n> when KQ_PORTS_DIR is set (no entry there, no
// port), else COM1-8 are /dev/ttyUSB0-7, COM9-12 /dev/ttyACM0-3 and COM13-16 /dev/ttyS0-3, so a
// USB adapter is found before the legacy ports. Looked up afresh at every open. On Windows the
// system maps COM names itself: COM<n> is \\.\COM<n>.
#pragma once

#include <optional>
#include <string>

inline constexpr char kPortPrefix[] = "COM";

// The ports a scan for the sensor tries, as the dialog's: COM1 to COM16.
inline constexpr int kFirstScannedPort = 1;
inline constexpr int kLastScannedPort = 16;

std::optional<std::string> ResolvePortName(const char* name);

// The number of a name that is "COM<n>" (n from 1 to 255, no leading zero), else nothing.
std::optional<int> PortNumber(const char* name);

// $KQ_PORTS_DIR, or null when it is unset or empty.
const char* ConfiguredPortsDir();
