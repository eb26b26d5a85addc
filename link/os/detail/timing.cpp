#include "timing.h"

#include <algorithm>
#include <cerrno>
#include <thread>

using Clock = std::chrono::steady_clock;

DWORD timeGetTime() {
    const auto since = Clock::now().time_since_epoch();
    return static_cast<DWORD>(std::chrono::duration_cast<std::chrono::milliseconds>(since).count());
}

void Sleep(DWORD milliseconds) {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

Deadline::Deadline(DWORD milliseconds)
    : m_forever(milliseconds == INFINITE),
      m_end(Clock::now() + std::chrono::milliseconds(milliseconds)) {}

int Deadline::RemainingMs() const {
    if (m_forever) return -1;
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(m_end - Clock::now());
    return static_cast<int>(std::max<std::chrono::milliseconds::rep>(left.count(), 0));
}

int PollUntil(pollfd* fds, nfds_t count, const Deadline& deadline) {
    for (;;) {
        const int ready = poll(fds, count, deadline.RemainingMs());
        if (ready >= 0 || errno != EINTR) return ready;
    }
}
