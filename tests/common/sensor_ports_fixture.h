// A private ports folder for one test, named by KQ_PORTS_DIR while the test runs, with simulated
// sensors on ptys linked into it as COM<n>. The link's, the dialog's and the command's tests build
// on it.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "ports_dir.h"
#include "pty_server.h"

class SensorPortsFixture : public ::testing::Test {
public:
    // Scripted replies: a reply of the given kind, or these bytes as they stand. Public, for the
    // tables of parameterised tests too.
    static sim::Reply Kind(sim::Reply::Kind kind);
    static sim::Reply Raw(const std::string& text);
    static sim::Reply Raw(std::vector<std::uint8_t> bytes);
    static std::string Text(const std::vector<std::uint8_t>& bytes);

protected:
    void SetUp() override;
    void TearDown() override;

    // A simulated sensor linked as COM<com>, started at the first call.
    sim::PtyServer& Sensor(int com = 3);
    // What the sensor on COM<com> received since its log was last cleared, one request a string.
    std::vector<std::string> RequestTexts(int com = 3);
    // Stops every sensor and removes its link; the next Sensor call starts a fresh one.
    void RemoveSensors();

    PortsDir m_ports;  // declared first, so it goes last, after the sensors linked into it
    const std::filesystem::path m_portsDir = m_ports.Path();

private:
    std::map<int, std::unique_ptr<sim::PtyServer>> m_sensors;
};
