// The probe on POSIX: the ports folder or the built-in table, and an open as the link does it.
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>

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
            return PortState::Busy;  // TIOCEXCL held by another open
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
    // Non-blocking, so that a modem port waiting for carrier cannot hold the probe.
    const int fd = open(report.path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        report.error = errno;
        report.state = StateForOpenError(report.error);
        return report;
    }
    if (!isatty(fd)) {
        report.error = ENOTTY;
        report.state = PortState::Unusable;
    } else if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        report.error = errno;
        report.state = report.error == EWOULDBLOCK ? PortState::Busy : PortState::Unusable;
    } else {
        flock(fd, LOCK_UN);
        report.state = PortState::Openable;
    }
    close(fd);
    return report;
}

const int kPortBusyError = EBUSY;

std::string SystemErrorText(int error) { return std::strerror(error); }
