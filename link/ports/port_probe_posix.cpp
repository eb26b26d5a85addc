// The probe on POSIX: the ports folder or the built-in table, and an open as the link does it.
#include <algorithm>
#include <cerrno>
#include <filesystem>

#include "exclusive_open.h"
#include "port_names.h"
#include "port_probe.h"

namespace {

PortState StateForOpenError(int error) {
    switch (error) {
        case ENOENT:
        case ENOTDIR:
            return PortState::Absent;
        case EACCES:
        case EPERM:
            return PortState::PermissionDenied;
        case EBUSY:
            return PortState::Busy;  // the flock or TIOCEXCL of another holder
        default:
            return PortState::Unusable;
    }
}

}  // namespace

std::vector<int> CandidatePorts() {
    std::vector<int> numbers;
    const char* portsDir = ConfiguredPortsDir();
    if (portsDir == nullptr) {
        for (int number = kFirstScannedPort; number <= kLastScannedPort; ++number)
            numbers.push_back(number);
        return numbers;
    }
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(portsDir, error)) {
        if (const auto number = PortNumber(entry.path().filename().c_str())) {
            numbers.push_back(*number);
        }
    }
    std::sort(numbers.begin(), numbers.end());
    return numbers;
}

PortReport ProbePort(int number) {
    PortReport report = NamePort(number);
    if (report.path.empty()) return report;
    const ExclusiveOpen opened = OpenExclusive(report.path.c_str());
    if (opened.fd < 0) {
        report.error = opened.error;
        report.state = StateForOpenError(report.error);
        return report;
    }
    CloseExclusive(opened);
    report.state = PortState::Openable;
    return report;
}

const int kPortBusyError = EBUSY;
