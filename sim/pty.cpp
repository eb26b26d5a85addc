#include "pty.h"

#include <fcntl.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

#include <array>
#include <system_error>
#include <utility>

namespace sim {
namespace {

[[noreturn]] void Fail(const char* call) {
    throw std::system_error(errno, std::generic_category(), call);
}

}  // namespace

Pty::Pty() {
    m_master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (m_master < 0) {
        Fail("posix_openpt");
    }
    try {
        std::array<char, 128> name{};
        if (grantpt(m_master) != 0) {
            Fail("grantpt");
        }
        if (unlockpt(m_master) != 0) {
            Fail("unlockpt");
        }
        if (ptsname_r(m_master, name.data(), name.size()) != 0) {
            Fail("ptsname_r");
        }
        m_slavePath = name.data();
        m_slave = open(m_slavePath.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
        if (m_slave < 0) {
            Fail("open pty slave");
        }
        termios tio{};
        if (tcgetattr(m_slave, &tio) != 0) {
            Fail("tcgetattr");
        }
        cfmakeraw(&tio);
        cfsetspeed(&tio, B115200);
        if (tcsetattr(m_slave, TCSANOW, &tio) != 0) {
            Fail("tcsetattr");
        }
        const int flags = fcntl(m_master, F_GETFL);
        if (flags < 0 || fcntl(m_master, F_SETFL, flags | O_NONBLOCK) != 0) {
            Fail("fcntl O_NONBLOCK");
        }
    } catch (...) {
        Close();
        throw;
    }
}

Pty::~Pty() { Close(); }

Pty::Pty(Pty&& other) noexcept
    : m_master(std::exchange(other.m_master, -1)),
      m_slave(std::exchange(other.m_slave, -1)),
      m_slavePath(std::move(other.m_slavePath)) {}

Pty& Pty::operator=(Pty&& other) noexcept {
    if (this != &other) {
        Close();
        m_master = std::exchange(other.m_master, -1);
        m_slave = std::exchange(other.m_slave, -1);
        m_slavePath = std::move(other.m_slavePath);
    }
    return *this;
}

void Pty::Close() {
    if (m_master >= 0) {
        close(m_master);
        m_master = -1;
    }
    if (m_slave >= 0) {
        close(m_slave);
        m_slave = -1;
    }
}

}  // namespace sim
