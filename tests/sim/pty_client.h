// The tool's side of the line in tests: the link opened as a serial port is, raw and
// non-blocking, read with poll against a deadline.
#pragma once

#include <poll.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "bytes.h"

namespace sim::test {

class PtyClient {
public:
    explicit PtyClient(const std::filesystem::path& link);  // fails the test if it cannot open
    ~PtyClient();
    PtyClient(const PtyClient&) = delete;
    PtyClient& operator=(const PtyClient&) = delete;

    void Write(std::span<const std::uint8_t> bytes);
    void Write(std::string_view text);

    // Bytes until `count` have arrived or `timeout` has passed; fewer means the time ran out.
    std::vector<std::uint8_t> Read(std::size_t count, std::chrono::milliseconds timeout);
    // Text up to and including `terminator`, or what arrived before `timeout`.
    std::string ReadText(std::chrono::milliseconds timeout, char terminator = ';');

    // The poll events the port shows within `timeout` (0 when none).
    short Wait(std::chrono::milliseconds timeout);
    // errno of a one-byte read (a hung-up line gives end of file, 0, or EIO).
    int ReadError();
    // errno of a one-byte write (a hung-up line gives EIO), 0 if it was written.
    int WriteError();

    bool Opened() const { return fd_ >= 0; }

private:
    int fd_ = -1;
};

// A fresh directory for port links, removed with everything in it.
class PortsDir {
public:
    PortsDir();
    ~PortsDir();
    PortsDir(const PortsDir&) = delete;
    PortsDir& operator=(const PortsDir&) = delete;

    const std::filesystem::path& Path() const { return path_; }

private:
    std::filesystem::path path_;
};

}  // namespace sim::test
