/* LD_PRELOAD shim for the Wine test run: answers the modem-line ioctls on pty slaves, as a
 * real serial adapter does, and fails them as a pulled one does once the pty is hung up. Wine's
 * WaitCommEvent polls the modem lines while it waits; a pty refuses that query, and the wait then
 * ends at once with ERROR_OPERATION_ABORTED. With this shim the Windows build of the link waits on
 * a pty exactly as on a real port. Every other ioctl, and these ones on anything but a pty slave,
 * go to the real call. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <errno.h>
#include <linux/serial.h>
#include <stdarg.h>
#include <string.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

enum { PTY_SLAVE_FIRST_MAJOR = 136, PTY_SLAVE_LAST_MAJOR = 143 };
enum { OUTPUT_LINES = TIOCM_DTR | TIOCM_RTS };

/* DTR and RTS as last set; the far end always ready (CTS, DSR, carrier). */
static int g_lines = TIOCM_DTR | TIOCM_RTS | TIOCM_CTS | TIOCM_DSR | TIOCM_CAR;

static int IsPtySlave(int fd) {
    struct stat st;
    if (fstat(fd, &st) != 0 || !S_ISCHR(st.st_mode)) return 0;
    return major(st.st_rdev) >= PTY_SLAVE_FIRST_MAJOR && major(st.st_rdev) <= PTY_SLAVE_LAST_MAJOR;
}

static int IsModemLineRequest(unsigned long request) {
    return request == TIOCMGET || request == TIOCMSET || request == TIOCMBIS ||
           request == TIOCMBIC || request == TIOCGICOUNT;
}

int ioctl(int fd, unsigned long request, ...) {
    static int (*real)(int, unsigned long, ...);
    va_list arguments;
    va_start(arguments, request);
    void* argument = va_arg(arguments, void*);
    va_end(arguments);

    if (real == NULL) real = (int (*)(int, unsigned long, ...))dlsym(RTLD_NEXT, "ioctl");
    if (!IsModemLineRequest(request) || !IsPtySlave(fd)) return real(fd, request, argument);
    /* A pty hung up by its other side fails every call with EIO, as a pulled adapter fails. */
    const int result = real(fd, request, argument);
    if (result == 0 || errno == EIO) return result;
    int* lines = argument;
    switch (request) {
        case TIOCMGET:
            *lines = g_lines;
            break;
        case TIOCMSET:
            g_lines = (g_lines & ~OUTPUT_LINES) | (*lines & OUTPUT_LINES);
            break;
        case TIOCMBIS:
            g_lines |= *lines & OUTPUT_LINES;
            break;
        case TIOCMBIC:
            g_lines &= ~(*lines & OUTPUT_LINES);
            break;
        default: /* no line ever changed: every counter stays zero */
            memset(argument, 0, sizeof(struct serial_icounter_struct));
            break;
    }
    return 0;
}
