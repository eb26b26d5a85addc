// The scan for the sensor, every port asked at once, against simulated devices on ptys: it picks
// the port a scan one port after another picks, and asks the ports above it nothing but the
// identity.
#include <algorithm>
#include <cstddef>
#include <string>
#include <vector>

#include "link_state.h"
#include "sensor_fixture.h"
#include "zeko_api.h"
#include "zeko_scan.h"

namespace {

using Kind = sim::Reply::Kind;

// Under Wine a COM1 with no device of the test's reaches this machine's own silent ttyS0.
constexpr int kFirstPort = 2;

enum class Device { None, Silent, Sensor, Other, HangsUp };

struct ScanCase {
    const char* name;
    std::vector<Device> devices;  // on COM2, COM3, ...
    int found;                    // which of them is picked, from 1; 0 for none
    std::vector<int> results;     // what the scan reports, up to the port picked
};

class SensorScanTest : public SensorFixture, public ::testing::WithParamInterface<ScanCase> {
protected:
    void Arrange(int com, Device device) {
        switch (device) {
            case Device::None:
                return;
            case Device::Silent:
                Sensor(com).SetSilent(true);
                return;
            case Device::Sensor:
                Sensor(com);
                return;
            case Device::Other:
                for (int read = 0; read < 4; ++read) Sensor(com).Script(Raw("P8=4242;"));
                return;
            case Device::HangsUp:
                Sensor(com).Script(Kind(Kind::HangUp));
                return;
        }
    }
};

TEST_P(SensorScanTest, PicksWhatAScanPortByPortPicks) {
    const ScanCase& c = GetParam();
    std::vector<int> ports;
    for (std::size_t i = 0; i < c.devices.size(); ++i) {
        ports.push_back(static_cast<int>(i) + kFirstPort);
        Arrange(ports.back(), c.devices[i]);
    }
    const SensorScan scan = ScanForSensor(ports, 19281, 115200);
    const int found = c.found == 0 ? 0 : c.found + kFirstPort - 1;
    EXPECT_EQ(scan.found, found);
    std::vector<int> results;
    for (const PortScanResult& port : scan.ports) {
        EXPECT_EQ(port.port, static_cast<int>(results.size()) + kFirstPort);
        EXPECT_EQ(port.identity, port.result == ZEKO_WRONG_IDENTITY ? 4242 : 0) << port.port;
        results.push_back(port.result);
    }
    EXPECT_EQ(results, c.results);
    for (int com = found + 1; found != 0 && com <= ports.back(); ++com) {
        if (c.devices[com - kFirstPort] == Device::None) continue;
        const std::vector<std::string> asked = RequestTexts(com);
        EXPECT_TRUE(std::all_of(asked.begin(), asked.end(), [](auto& r) { return r == "P8;"; }))
            << "COM" << com;
    }
    // The link itself is untouched, boxes included, until the caller opens the port found.
    EXPECT_FALSE(LinkReady());
    EXPECT_TRUE(Boxes().empty());
    if (found != 0) {
        EXPECT_EQ(ZEKO_initial(found, 19281, 115200), ZEKO_OK);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Tables, SensorScanTest,
    ::testing::Values(ScanCase{"SensorBehindSilentPorts",
                               {Device::Silent, Device::Silent, Device::Silent, Device::Sensor},
                               4,
                               {ZEKO_NO_ANSWER, ZEKO_NO_ANSWER, ZEKO_NO_ANSWER, ZEKO_OK}},
                      ScanCase{"LowestOfTwoSensors",
                               {Device::None, Device::Sensor, Device::Silent, Device::Sensor},
                               2,
                               {ZEKO_NO_PORT, ZEKO_OK}},
                      ScanCase{
                          "SensorOnTheFirstPort", {Device::Sensor, Device::Silent}, 1, {ZEKO_OK}},
                      ScanCase{"OtherIdentityAndHangUpPassedBy",
                               {Device::Other, Device::HangsUp, Device::Sensor},
                               3,
                               {ZEKO_WRONG_IDENTITY, ZEKO_NO_ANSWER, ZEKO_OK}},
                      ScanCase{"NoSensor",
                               {Device::Silent, Device::None, Device::Other},
                               0,
                               {ZEKO_NO_ANSWER, ZEKO_NO_PORT, ZEKO_WRONG_IDENTITY}}),
    [](const auto& info) { return std::string(info.param.name); });

using FindSensorAgainTest = SensorFixture;

// After a loss any port whose device answers as the sensor will do: a sensor above a silent port,
// or a deadline, stops the silent port's question before its first attempt is over.
TEST_F(FindSensorAgainTest, SilentPortsHoldTheSearchNeitherPastAnAnswerNorPastItsLimit) {
    Sensor(kFirstPort).SetSilent(true);
    Sensor(kFirstPort + 1);
    const std::vector<int> ports = {kFirstPort, kFirstPort + 1};
    EXPECT_EQ(FindSensorAgain(ports, 19281, 115200, std::chrono::seconds(10)).found, ports[1]);
    EXPECT_EQ(
        FindSensorAgain({ports.data(), 1}, 19281, 115200, std::chrono::milliseconds(100)).found, 0);
    // One attempt from the second search; the first may have found the sensor before its thread
    // for the silent port had asked.
    const std::size_t attempts = RequestTexts(kFirstPort).size();
    EXPECT_TRUE(attempts == 1u || attempts == 2u) << attempts;
}

}  // namespace
