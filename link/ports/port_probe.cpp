#include "port_probe.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>

#include "port_names.h"

namespace {

std::string ComName(int number) { return kPortPrefix + std::to_string(number); }

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

PortReport NamePort(int number) {
    PortReport report{.name = ComName(number)};
    report.path = ResolvePortName(report.name.c_str()).value_or("");
    return report;
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

PortReport ProbeFailedOpen(int number) {
    PortReport report = ProbePort(number);
    if (report.state == PortState::Openable) {
        report.state = PortState::Unusable;
        report.error = EBUSY;
    }
    return report;
}

namespace {

// Each state's word for scripts and its text for people; the two that carry details are
// completed by StateText.
struct StateWords {
    PortState state;
    const char* key;
    const char* text;
};

constexpr StateWords kStateWords[] = {
    {PortState::Absent, "absent", "absent"},
    {PortState::PermissionDenied, "permission_denied",
     "permission denied (add the user to the dialout group: "
     "sudo usermod -aG dialout $USER, then log in again)"},
    {PortState::Busy, "busy", "busy (held by another program)"},
    {PortState::Unusable, "unusable", "cannot open: "},
    {PortState::Openable, "openable", "openable"},
    {PortState::NoAnswer, "no_answer", "no answer"},
    {PortState::OtherIdentity, "identity", "another identity"},
    {PortState::Sensor, "sensor", "sensor"},
};

const StateWords& WordsOf(PortState state) {
    for (const StateWords& words : kStateWords) {
        if (words.state == state) return words;
    }
    return kStateWords[0];
}

}  // namespace

const char* StateKey(PortState state) { return WordsOf(state).key; }

std::string StateText(const PortReport& report) {
    if (report.state == PortState::Unusable) {
        return WordsOf(report.state).text + std::string(std::strerror(report.error));
    }
    if (report.state == PortState::OtherIdentity && report.identity) {
        return "identity " + std::to_string(*report.identity);
    }
    return WordsOf(report.state).text;
}
