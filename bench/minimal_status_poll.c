#include "minimal_status_poll.h"

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

enum { kReplyLength = 17 };

static const unsigned char kRequest[] = {0x03, 0x03, 0x10, 0x0A};

int minimal_open(const char* device, unsigned speed) {
    const int fd = open(device, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    struct termios tio;
    if (fd < 0) return -1;
    if (tcgetattr(fd, &tio) != 0) {
        close(fd);
        return -1;
    }
    cfmakeraw(&tio);
    tio.c_cflag |= CLOCAL | CREAD;
    cfsetispeed(&tio, (speed_t)speed);
    cfsetospeed(&tio, (speed_t)speed);
    if (tcsetattr(fd, TCSANOW, &tio) != 0) {
        close(fd);
        return -1;
    }
    return fd;
}

int minimal_status_poll(int fd, int timeout_ms) {
    unsigned char reply[kReplyLength];
    int got = 0;
    if (tcflush(fd, TCIOFLUSH) != 0) return -1;
    if (write(fd, kRequest, sizeof kRequest) != (ssize_t)sizeof kRequest) return -1;
    while (got < kReplyLength) {
        struct pollfd p = {fd, POLLIN, 0};
        ssize_t n;
        if (poll(&p, 1, timeout_ms) <= 0) return -1;
        n = read(fd, reply + got, (size_t)(kReplyLength - got));
        if (n <= 0) return -1;
        got += (int)n;
    }
    return reply[0] == 0 ? 0 : -1;
}

void minimal_close(int fd) { close(fd); }
