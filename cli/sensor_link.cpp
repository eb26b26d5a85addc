#include "sensor_link.h"

#include <string>

#include "exit_status.h"
#include "port_names.h"
#include "port_probe.h"
#include "result_text.h"
#include "sensor_contract.h"
#include "zeko_api.h"

namespace {

void Check(int result, LinkCall call) {
    if (result == ZEKO_OK) return;
    throw CommandFailure(IsSensorCode(result, call) ? kExitSensorRefused : kExitLinkFailure,
                         ResultText(result, call));
}

// Why a port given by number holds no sensor: the library's code, and for a port that would not
// open what the system says of it.
std::string NoSensorText(int port, int result) {
    const PortReport report = ProbePort(port);
    std::string text = report.name + " (" + (report.path.empty() ? "no device" : report.path) +
                       "): " + ResultText(result, LinkCall::Initial);
    if (result == ZEKO_NO_PORT && report.state != PortState::Openable) {
        text += ": " + StateText(report);
    }
    return text;
}

}  // namespace

SensorLink::SensorLink(int port) {
    if (port != 0) {
        const int result = ZEKO_initial(port, sensor::kIdentity, sensor::kBaudRate);
        if (result != ZEKO_OK) throw CommandFailure(kExitNoSensor, NoSensorText(port, result));
        return;
    }
    int result = ZEKO_OK;
    for (int candidate = kFirstScannedPort; candidate <= kLastScannedPort; ++candidate) {
        result = ZEKO_initial(candidate, sensor::kIdentity, sensor::kBaudRate);
        if (result == ZEKO_OK) return;
    }
    throw CommandFailure(kExitNoSensor, "no sensor on COM1 to COM16 (last result " +
                                            ResultText(result, LinkCall::Initial) +
                                            "); `zeko ports` tells why each port failed");
}

SensorLink::~SensorLink() { ZEKO_close(); }

long SensorLink::Get(int parameter) {
    long value = 0;
    Check(ZEKO_get(parameter, &value), LinkCall::Get);
    return value;
}

void SensorLink::Set(int parameter, long value) {
    Check(ZEKO_set(parameter, value), LinkCall::Set);
}

void SensorLink::Block(unsigned command, std::span<const std::uint8_t> payload,
                       std::span<std::uint8_t> reply) {
    Check(ZEKO_super_command(command, static_cast<int>(payload.size()),
                             static_cast<int>(reply.size()), payload.data(), reply.data()),
          LinkCall::Block);
}
