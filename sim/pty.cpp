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
    master_ = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master_ < 0) {
        Fail("posix_openpt");
    }
    try {
        std::array<char, 128> name{};
        if (grantpt(master_) != 0) {
            Fail("grantpt");
        }
        if (unlockpt(master_) != 0) {
            Fail("unlockpt");
        }
        if (ptsname_r(master_, name.data(), name.size()) != 0) {
            Fail("ptsname_r");
        }
        slavePath_ = name.data();
        slave_ = open(slavePath_.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
        if (slave_ < 0) {
            Fail("open pty slave");
        }
        termios tio{};
        if (tcgetattr(slave_, &tio) != 0) {
            Fail("tcgetattr");
        }
        cfmakeraw(&tio);
        cfsetspeed(&tio, B115200);
        if (tcsetattr(slave_, TCSANOW, &tio) != 0) {
            Fail("tcsetattr");
        }
        const int flags = fcntl(master_, F_GETFL);
        if (flags < 0 || fcntl(master_, F_SETFL, flags | O_NONBLOCK) != 0) {
            Fail("fcntl O_NONBLOCK");
        }
    } catch (...) {
        Close();
        throw;
    }
}

Pty::~Pty() { Close(); }

Pty::Pty(Pty&& other) noexcept
    : master_(std::exchange(other.master_, -1)),
      slave_(std::exchange(other.slave_, -1)),
      slavePath_(std::move(other.slavePath_)) {}

Pty& Pty::operator=(Pty&& other) noexcept {
    if (this != &other) {
        Close();
        master_ = std::exchange(other.master_, -1);
        slave_ = std::exchange(other.slave_, -1);
        slavePath_ = std::move(other.slavePath_);
    }
    return *this;
}

void Pty::Close() {
    if (master_ >= 0) {
        close(master_);
        master_ = -1;
    }
    if (slave_ >= 0) {
        close(slave_);
        slave_ = -1;
    }
}

}  // namespace sim
