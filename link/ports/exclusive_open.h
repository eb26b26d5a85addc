// Opening a serial device on POSIX as the link holds it: read-write, no controlling terminal,
// non-blocking, and not shared. An advisory flock keeps out the programs that ask, TIOCEXCL those
// that don't. The link's serial layer opens ports so, and the probe asks whether it could.
#pragma once

struct ExclusiveOpen {
    int fd = -1;                 // -1 when the open failed
    const char* call = nullptr;  // the call that failed: "open", "isatty" or "flock"
    int error = 0;               // its errno; EBUSY when another holder has the device
    bool tookExclusive = false;  // TIOCEXCL set by this open, to be cleared by its close
    int exclusiveError = 0;      // errno of a refused TIOCEXCL, else 0
};

ExclusiveOpen OpenExclusive(const char* path);
// Gives up what the open took and closes the descriptor.
void CloseExclusive(const ExclusiveOpen& opened);
