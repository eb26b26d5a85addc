// Runs the real zeko command against simulated sensors on ptys in a private ports folder: its
// standard output, standard error and exit status, and what the sensors received meanwhile.
#pragma once

#include <gtest/gtest.h>
#include <sys/types.h>

#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "pty_server.h"

struct ZekoRun {
    int status = -1;  // exit status; -1 when it did not exit normally
    std::string out;
    std::string err;
    std::vector<std::string> OutLines() const;
};

class ZekoFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // A simulated sensor linked as COM<com>, its readings held still.
    sim::PtyServer& Sensor(int com = 3);
    void RemoveSensors();

    ZekoRun Run(const std::vector<std::string>& args);
    // Starts zeko without waiting; Finish collects it.
    pid_t Start(const std::vector<std::string>& args);
    ZekoRun Finish(pid_t child);

    // The requests COM<com> received, as text ("P10;"), block frames shown by their command byte.
    std::vector<std::string> Requests(int com = 3);

    std::filesystem::path portsDir_;

private:
    std::filesystem::path outPath_;
    std::filesystem::path errPath_;
    std::map<int, std::unique_ptr<sim::PtyServer>> sensors_;
};
