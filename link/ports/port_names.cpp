#include "port_names.h"

#include <cstdlib>
#include <cstring>

namespace {

#if !defined(_WIN32)
struct DeviceRange {
    int firstPort;
    int lastPort;
    const char* devicePrefix;
};

constexpr DeviceRange kBuiltInPorts[] = {
    {1, 8, "/dev/ttyUSB"},
    {9, 12, "/dev/ttyACM"},
    {13, 16, "/dev/ttyS"},
};
#endif

constexpr int kLargestPortNumber = 255;
constexpr char kPortsDirVariable[] = "KQ_PORTS_DIR";

}  // namespace

std::optional<int> PortNumber(const char* name) {
    if (std::strncmp(name, kPortPrefix, sizeof kPortPrefix - 1) != 0) return std::nullopt;
    const char* digits = name + sizeof kPortPrefix - 1;
    if (*digits < '1' || *digits > '9') return std::nullopt;
    int number = 0;
    for (const char* p = digits; *p != '\0'; ++p) {
        if (*p < '0' || *p > '9') return std::nullopt;
        number = number * 10 + (*p - '0');
        if (number > kLargestPortNumber) return std::nullopt;
    }
    return number;
}

const char* ConfiguredPortsDir() {
    const char* portsDir = std::getenv(kPortsDirVariable);
    return portsDir != nullptr && *portsDir != '\0' ? portsDir : nullptr;
}

std::optional<std::string> ResolvePortName(const char* name) {
    const std::optional<int> number = PortNumber(name);
    if (!number) return std::nullopt;
#if defined(_WIN32)
    // Windows maps its COM names itself; COM10 and above exist only in the device namespace.
    return std::string("\\\\.\\") + name;
#else
    if (const char* portsDir = ConfiguredPortsDir()) return std::string(portsDir) + "/" + name;
    for (const DeviceRange& range : kBuiltInPorts) {
        if (*number >= range.firstPort && *number <= range.lastPort) {
            return range.devicePrefix + std::to_string(*number - range.firstPort);
        }
    }
    return std::nullopt;
#endif
}
