// zeko ports: every COM name the library would try, where it maps and what is there. A port that
// would open is asked for its identity, as the dialog's scan asks, all such ports at once; the
// others are described from what the system says, without a byte sent.
#include <iostream>
#include <string>
#include <vector>

#include "commands.h"
#include "exit_status.h"
#include "json_float.h"
#include "port_probe.h"
#include "sensor_contract.h"
#include "zeko_api.h"
#include "zeko_scan.h"

namespace {

// The answer of a port that was asked, in the probe's words.
PortReport Described(const PortScanResult& asked) {
    PortReport report = NamePort(asked.port);
    switch (asked.result) {
        case ZEKO_OK:
            report.state = PortState::Sensor;
            break;
        case ZEKO_NO_ANSWER:
            report.state = PortState::NoAnswer;
            break;
        case ZEKO_WRONG_IDENTITY:
            report.state = PortState::OtherIdentity;
            report.identity = asked.identity;
            break;
        default:  // taken by another program between the probe and the open
            report = ProbeFailedOpen(asked.port);
    }
    return report;
}

// Every port probed, and those that would open asked for their identity all at once.
std::vector<PortReport> Examine(const std::vector<int>& numbers) {
    std::vector<PortReport> reports;
    std::vector<int> openable;
    for (int number : numbers) {
        reports.push_back(ProbePort(number));
        if (reports.back().state == PortState::Openable) openable.push_back(number);
    }
    const std::vector<PortScanResult> answers =
        AskPorts(openable, sensor::kIdentity, sensor::kBaudRate);
    std::size_t next = 0;
    for (PortReport& report : reports) {
        if (report.state == PortState::Openable) report = Described(answers.at(next++));
    }
    return reports;
}

}  // namespace

int RunPorts(const CommonOptions& options) {
    const std::vector<int> numbers =
        options.port != 0 ? std::vector<int>{options.port} : CandidatePorts();
    if (numbers.empty()) std::cerr << "zeko: no COM<n> entries in KQ_PORTS_DIR" << std::endl;
    Json list = Json::array();
    for (const PortReport& report : Examine(numbers)) {
        if (options.json) {
            list.push_back(
                {{"port", report.name},
                 {"path", report.path},
                 {"state", StateKey(report.state)},
                 {"detail", StateText(report)},
                 {"identity", report.identity ? Json(*report.identity) : Json(nullptr)}});
        } else {
            std::cout << report.name << '\t' << (report.path.empty() ? "-" : report.path) << '\t'
                      << StateText(report) << std::endl;
        }
    }
    if (options.json) std::cout << list.dump() << std::endl;
    return kExitOk;
}
