#include "pty_client.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace sim::test {
namespace {

using Clock = std::chrono::steady_clock;

int RemainingMs(Clock::time_point deadline) {
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left > 0 ? static_cast<int>(left) : 0;
}

}  // namespace

PtyClient::PtyClient(const std::filesystem::path& link) {
    fd_ = open(link.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd_ < 0) {
        ADD_FAILURE() << "cannot open " << link << ": " << std::strerror(errno);
        return;
    }
    termios tio{};
    EXPECT_EQ(tcgetattr(fd_, &tio), 0);
    cfmakeraw(&tio);
    EXPECT_EQ(tcsetattr(fd_, TCSANOW, &tio), 0);
}

PtyClient::~PtyClient() {
    if (fd_ >= 0) {
        close(fd_);
    }
}

void PtyClient::Write(std::span<const std::uint8_t> bytes) {
    ASSERT_EQ(write(fd_, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
}

void PtyClient::Write(std::string_view text) { Write(Bytes(text)); }

std::vector<std::uint8_t> PtyClient::Read(std::size_t count, std::chrono::milliseconds timeout) {
    const auto deadline = Clock::now() + timeout;
    std::vector<std::uint8_t> bytes;
    while (bytes.size() < count) {
        pollfd fd{fd_, POLLIN, 0};
        if (poll(&fd, 1, RemainingMs(deadline)) <= 0 || !(fd.revents & POLLIN)) {
            break;
        }
        std::uint8_t buffer[256];
        const ssize_t n = read(fd_, buffer, std::min(sizeof buffer, count - bytes.size()));
        if (n <= 0) {
            break;
        }
        bytes.insert(bytes.end(), buffer, buffer + n);
    }
    return bytes;
}

std::string PtyClient::ReadText(std::chrono::milliseconds timeout, char terminator) {
    const auto deadline = Clock::now() + timeout;
    std::string text;
    while (text.empty() || text.back() != terminator) {
        const auto byte = Read(1, std::chrono::milliseconds{RemainingMs(deadline)});
        if (byte.empty()) {
            break;
        }
        text.push_back(static_cast<char>(byte[0]));
    }
    return text;
}

short PtyClient::Wait(std::chrono::milliseconds timeout) {
    pollfd fd{fd_, POLLIN, 0};
    return poll(&fd, 1, static_cast<int>(timeout.count())) > 0 ? fd.revents : 0;
}

int PtyClient::ReadError() {
    std::uint8_t byte = 0;
    return read(fd_, &byte, 1) < 0 ? errno : 0;
}

int PtyClient::WriteError() {
    const std::uint8_t byte = ';';
    return write(fd_, &byte, 1) < 0 ? errno : 0;
}

PortsDir::PortsDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "kq-sim-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
        ADD_FAILURE() << "mkdtemp: " << std::strerror(errno);
    }
    path_ = pattern;
}

PortsDir::~PortsDir() {
    std::error_code error;
    std::filesystem::remove_all(path_, error);
}

}  // namespace sim::test
