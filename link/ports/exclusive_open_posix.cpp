#include <fcntl.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>

#include "exclusive_open.h"

namespace {

ExclusiveOpen Failed(int fd, const char* call, int error) {
    if (fd >= 0) close(fd);
    return {.call = call, .error = error};
}

}  // namespace

ExclusiveOpen OpenExclusive(const char* path) {
    // Non-blocking, so that a modem port waiting for carrier cannot hold the open.
    const int fd = open(path, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return Failed(fd, "open", errno);
    if (!isatty(fd)) return Failed(fd, "isatty", ENOTTY);
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        return Failed(fd, "flock", errno == EWOULDBLOCK ? EBUSY : errno);
    }
    ExclusiveOpen opened{.fd = fd};
    // A flag another holder set (root opens such a device all the same) stays that holder's: it
    // is neither set nor cleared here.
    int heldByAnother = 0;
    if (ioctl(fd, TIOCGEXCL, &heldByAnother) == 0 && heldByAnother != 0) return opened;
    if (ioctl(fd, TIOCEXCL) == 0) {
        opened.tookExclusive = true;
    } else {
        opened.exclusiveError = errno;
    }
    return opened;
}

void CloseExclusive(const ExclusiveOpen& opened) {
    if (opened.tookExclusive) ioctl(opened.fd, TIOCNXCL);
    flock(opened.fd, LOCK_UN);
    close(opened.fd);
}
