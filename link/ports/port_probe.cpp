#include "port_probe.h"

#include "port_names.h"
#include "system_error_text.h"

PortReport ProbeFailedOpen(int number) {
    PortReport report = ProbePort(number);
    if (report.state == PortState::Openable) {
        report.state = PortState::Unusable;
        report.error = kPortBusyError;
    }
    return report;
}

PortReport NamePort(int number) {
    PortReport report{.name = kPortPrefix + std::to_string(number)};
    report.path = ResolvePortName(report.name.c_str()).value_or("");
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
        return WordsOf(report.state).text + SystemErrorText(report.error);
    }
    if (report.state == PortState::OtherIdentity && report.identity) {
        return "identity " + std::to_string(*report.identity);
    }
    return WordsOf(report.state).text;
}
