/* The status poll as a minimal C client does it on a raw tty (tcflush, write, poll, read): the
   floor the link's own cost per exchange is measured against. */
#pragma once

#ifdef __cplusplus
extern "C" {
#endif

/* Opens the device raw, 8N1 at the given speed (a termios B constant), non-blocking; -1 on
   failure. */
int minimal_open(const char* device, unsigned speed);
/* One status poll: the 4-byte request out, then the 17-byte reply read as it arrives. 0 when a
   reply whose link status byte is 0 came within timeout_ms, -1 otherwise. */
int minimal_status_poll(int fd, int timeout_ms);
void minimal_close(int fd);

#ifdef __cplusplus
}
#endif
