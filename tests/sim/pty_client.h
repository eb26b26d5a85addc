// The tool's side of the line in tests: the link opened as a serial port is (raw, non-blocking)
// and read with poll against a deadline.
#pragma once

#include <poll.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "bytes.h"
#include "ports_dir.h"

namespace sim::test {

class PtyClient {
public:
    explicit PtyClient(const std::filesystem::path& link);  // fails the test if it cannot open
    ~PtyClient();
    PtyClient(const PtyClient&) = delete;
    PtyClient& operator=(const PtyClient&) = delete;

    void Write(const std::vector<std::uint8_t>& bytes);
    void Write(std::string_view text) { Write(Bytes(text)); }
    // Bytes until `count` have arrived or `timeout` has passed; fewer means the time ran out.
    std::vector<std::uint8_t> Read(std::size_t count, std::chrono::milliseconds timeout);
    // Text up to and including ";", or what arrived before `timeout`.
    std::string ReadText(std::chrono::milliseconds timeout);
    // The poll events the port shows within `timeout` (0 when none).
    short Wait(std::chrono::milliseconds timeout);
    // errno of a one-byte read or write, 0 when it returned without error.
    int ReadError();
    int WriteError();

private:
    int m_fd = -1;
};

}  // namespace sim::test
