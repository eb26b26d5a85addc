// Time for every blocking call of this layer: the millisecond tick counter, sleeping, a
// monotonic deadline, and the one poll() that sleeps against it.
#pragma once

#include <poll.h>

#include <chrono>

#include "win32_types.h"

// Millisecond tick counter: unsigned 32-bit, wrapping, monotonic.
DWORD timeGetTime();

// Suspends the calling thread for the given time.
void Sleep(DWORD milliseconds);

// When a blocking call must give up; INFINITE never comes.
class Deadline {
public:
    explicit Deadline(DWORD milliseconds);

    // Milliseconds left, rounded up so that a poll never wakes just before the end; 0 once
    // passed, -1 for INFINITE.
    int RemainingMs() const;

private:
    bool m_forever;
    std::chrono::steady_clock::time_point m_end;
};

// poll() until something is ready or the deadline passes, asking again with the time left after
// a signal (EINTR): > 0 ready, 0 the deadline passed, < 0 failed (errno set).
int PollUntil(pollfd* fds, nfds_t count, const Deadline& deadline);
