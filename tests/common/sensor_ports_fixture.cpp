#include "sensor_ports_fixture.h"

#include <stdlib.h>

#include <utility>

void SensorPortsFixture::SetUp() {
#if !defined(_WIN32)
    setenv("KQ_PORTS_DIR", m_portsDir.c_str(), 1);
#endif
}

// The sensors stop before the folder holding their links goes with the fixture.
void SensorPortsFixture::TearDown() { RemoveSensors(); }

void SensorPortsFixture::RemoveSensors() { m_sensors.clear(); }

sim::PtyServer& SensorPortsFixture::Sensor(int com) {
    auto& sensor = m_sensors[com];
    if (!sensor) sensor = std::make_unique<sim::PtyServer>(m_portsDir, com);
    return *sensor;
}

std::vector<std::string> SensorPortsFixture::RequestTexts(int com) {
    std::vector<std::string> texts;
    for (const sim::Received& request : Sensor(com).Requests())
        texts.push_back(Text(request.bytes));
    return texts;
}

sim::Reply SensorPortsFixture::Kind(sim::Reply::Kind kind) {
    sim::Reply reply;
    reply.kind = kind;
    return reply;
}

sim::Reply SensorPortsFixture::Raw(const std::string& text) {
    return Raw(std::vector<std::uint8_t>(text.begin(), text.end()));
}

sim::Reply SensorPortsFixture::Raw(std::vector<std::uint8_t> bytes) {
    sim::Reply reply = Kind(sim::Reply::Kind::Raw);
    reply.bytes = std::move(bytes);
    return reply;
}

std::string SensorPortsFixture::Text(const std::vector<std::uint8_t>& bytes) {
    return {bytes.begin(), bytes.end()};
}
