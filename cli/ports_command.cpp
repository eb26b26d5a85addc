// zeko ports: every COM name the library would try, where it maps and what is there. A port that
// would open is asked for its identity, as the dialog's scan asks; the others are described from
// what the system says, without a byte sent.
#include <iostream>
#include <string>
#include <vector>

#include "commands.h"
#include "exit_status.h"
#include "json_float.h"
#include "port_probe.h"
#include "sensor_contract.h"
#include "zeko_api.h"

namespace {

PortReport Examine(int number) {
    PortReport report = ProbePort(number);
    if (report.state != PortState::Openable) return report;
    switch (ZEKO_initial(number, sensor::kIdentity, sensor::kBaudRate)) {
        case ZEKO_OK:
            report.state = PortState::Sensor;
            break;
        case ZEKO_NO_ANSWER:
            report.state = PortState::NoAnswer;
            break;
        case ZEKO_WRONG_IDENTITY: {
            // The port stays open after another identity; reading it once more names the device.
            report.state = PortState::OtherIdentity;
            ZEKO_reconnect();
            long identity = 0;
            if (ZEKO_get(sensor::kParamIdentity, &identity) == ZEKO_OK) report.identity = identity;
            break;
        }
        default:  // taken by another program between the probe and the open
            report = ProbeFailedOpen(number);
    }
    ZEKO_close();
    return report;
}

}  // namespace

int RunPorts(const CommonOptions& options) {
    const std::vector<int> numbers =
        options.port != 0 ? std::vector<int>{options.port} : CandidatePorts();
    if (numbers.empty()) std::cerr << "zeko: no COM<n> entries in KQ_PORTS_DIR" << std::endl;
    Json list = Json::array();
    for (int number : numbers) {
        const PortReport report = Examine(number);
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
