#include "port_failures.h"

#include <cstdio>

#include "port_probe.h"
#include "zeko_api.h"

namespace {

// A port that opened is described by its answer; one that did not, by what the system says.
PortReport Diagnose(int number, int result) {
    if (result != ZEKO_NO_ANSWER && result != ZEKO_WRONG_IDENTITY) return ProbeFailedOpen(number);
    PortReport report = NamePort(number);
    report.state = result == ZEKO_NO_ANSWER ? PortState::NoAnswer : PortState::OtherIdentity;
    return report;
}

}  // namespace

void ReportPortFailures(std::span<const int> results) {
    for (std::size_t i = 0; i < results.size(); ++i) {
        const PortReport report = Diagnose(static_cast<int>(i) + 1, results[i]);
        if (report.state == PortState::Absent) continue;
        std::fprintf(stderr, "KQ_Tools: %s (%s): %s\n", report.name.c_str(), report.path.c_str(),
                     StateText(report).c_str());
    }
}
