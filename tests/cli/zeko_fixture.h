// Runs the real zeko command against the shared fixture's simulated sensors: its standard
// output, standard error and exit status, and what the sensors received meanwhile.
#pragma once

#include <sys/types.h>

#include <filesystem>
#include <string>
#include <vector>

#include "sensor_ports_fixture.h"

struct ZekoRun {
    int status = -1;  // exit status; -1 when it did not exit normally
    std::string out;
    std::string err;
    std::vector<std::string> OutLines() const;
};

class ZekoFixture : public SensorPortsFixture {
protected:
    void SetUp() override;

    // A simulated sensor linked as COM<com>, its readings held still.
    sim::PtyServer& Sensor(int com = 3);

    // Standard output goes to `out` when given, else to a file Finish reads back.
    ZekoRun Run(const std::vector<std::string>& args, const std::string& out = {});
    // Starts zeko without waiting; Finish collects it.
    pid_t Start(const std::vector<std::string>& args, const std::string& out = {});
    ZekoRun Finish(pid_t child);

    // The requests COM<com> received, as text ("P10;"), block frames shown by their command byte.
    std::vector<std::string> Requests(int com = 3);

private:
    std::filesystem::path m_outPath;
    std::filesystem::path m_errPath;
};
