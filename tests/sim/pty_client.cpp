#include "pty_client.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace sim::test {

PtyClient::PtyClient(const std::filesystem::path& link) {
    m_fd = open(link.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    termios tio{};
    EXPECT_EQ(tcgetattr(m_fd, &tio), 0) << "opening " << link << ": " << std::strerror(errno);
    cfmakeraw(&tio);
    EXPECT_EQ(tcsetattr(m_fd, TCSANOW, &tio), 0);
}

PtyClient::~PtyClient() { close(m_fd); }

void PtyClient::Write(const std::vector<std::uint8_t>& bytes) {
    ASSERT_EQ(write(m_fd, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
}

std::vector<std::uint8_t> PtyClient::Read(std::size_t count, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    std::vector<std::uint8_t> bytes;
    while (bytes.size() < count) {
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        std::uint8_t buffer[256];
        if (left.count() <= 0 || !(Wait(left) & POLLIN)) {
            break;
        }
        const ssize_t n = read(m_fd, buffer, std::min(sizeof buffer, count - bytes.size()));
        if (n <= 0) {
            break;
        }
        bytes.insert(bytes.end(), buffer, buffer + n);
    }
    return bytes;
}

std::string PtyClient::ReadText(std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    std::string text;
    while (text.empty() || text.back() != ';') {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        const auto byte = Read(1, left);
        if (byte.empty()) {
            break;
        }
        text.push_back(static_cast<char>(byte[0]));
    }
    return text;
}

short PtyClient::Wait(std::chrono::milliseconds timeout) {
    pollfd fd{m_fd, POLLIN, 0};
    return poll(&fd, 1, static_cast<int>(timeout.count())) > 0 ? fd.revents : 0;
}

int PtyClient::ReadError() {
    std::uint8_t byte = 0;
    return read(m_fd, &byte, 1) < 0 ? errno : 0;
}

int PtyClient::WriteError() {
    const std::uint8_t byte = ';';
    return write(m_fd, &byte, 1) < 0 ? errno : 0;
}

}  // namespace sim::test
