#include "sensor_link.h"

#include <string>
#include <vector>

#include "exit_status.h"
#include "port_names.h"
#include "port_probe.h"
#include "result_text.h"
#include "sensor_contract.h"
#include "zeko_api.h"
#include "zeko_scan.h"

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

SensorLink::SensorLink(int port) : m_port(port) {
    const int result = Open();
    if (result == ZEKO_OK) return;
    if (port != 0) throw CommandFailure(kExitNoSensor, NoSensorText(port, result));
    throw CommandFailure(kExitNoSensor, "no sensor on COM1 to COM16 (last result " +
                                            ResultText(result, LinkCall::Initial) +
                                            "); `zeko ports` tells why each port failed");
}

int SensorLink::Open() {
    if (m_port != 0) {
        const int result = ZEKO_initial(m_port, sensor::kIdentity, sensor::kBaudRate);
        if (result == ZEKO_OK) m_open = m_port;
        return result;
    }
    std::vector<int> ports;
    for (int port = kFirstScannedPort; port <= kLastScannedPort; ++port) ports.push_back(port);
    const SensorScan scan = ScanForSensor(ports, sensor::kIdentity, sensor::kBaudRate);
    if (scan.found == 0) return scan.ports.back().result;
    const int result = ZEKO_initial(scan.found, sensor::kIdentity, sensor::kBaudRate);
    if (result == ZEKO_OK) m_open = scan.found;
    return result;
}

bool SensorLink::Find() { return Open() == ZEKO_OK; }

bool SensorLink::DeviceGone() const { return LinkDeviceGone(); }

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
