#include "wait.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <optional>

#include "serial_port_object.h"
#include "synchronization.h"
#include "timing.h"

namespace {

// Fixed room on the stack: a wait runs once or twice per exchange and allocates nothing.
using EventList = std::array<EventObject*, MAXIMUM_WAIT_OBJECTS>;
constexpr std::size_t kMaxPorts = MAXIMUM_WAIT_OBJECTS;
using PortList = std::array<SerialPortObject*, kMaxPorts>;

// Returns the index of the first signalled event, taking it when it is auto-reset; -1 if none.
int FirstSignalled(const EventList& events, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) {
        if (!events[i]->IsSignalled()) continue;
        if (events[i]->ManualReset() || events[i]->Consume()) return static_cast<int>(i);
    }
    return -1;
}

// The ports whose pending comm wait signals one of the events; returns how many.
std::size_t PortsWaitingOn(const EventList& events, std::size_t count, PortList* ports) {
    std::lock_guard lock(PendingPortsMutex());
    std::size_t found = 0;
    for (SerialPortObject* port : PendingPorts()) {
        for (std::size_t i = 0; i < count && found < kMaxPorts; ++i) {
            if (port->m_commWaitEvent == static_cast<KernelObject*>(events[i])) {
                (*ports)[found++] = port;
            }
        }
    }
    return found;
}

}  // namespace

DWORD WaitForMultipleObjects(DWORD count, const HANDLE* handles, BOOL, DWORD milliseconds) {
    if (count == 0 || count > MAXIMUM_WAIT_OBJECTS) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return WAIT_FAILED;
    }
    EventList events;
    for (DWORD i = 0; i < count; ++i) {
        events[i] = CheckedObject<EventObject>(handles[i]);
        if (events[i] == nullptr) return WAIT_FAILED;
    }
    // Read the clock only for a wait that has to sleep: most find their event set at once.
    std::optional<Deadline> deadline;
    for (;;) {
        if (const int index = FirstSignalled(events, count); index >= 0) {
            return WAIT_OBJECT_0 + index;
        }
        if (!deadline) deadline.emplace(milliseconds);
        if (deadline->RemainingMs() == 0) return WAIT_TIMEOUT;

        PortList ports;
        const std::size_t portCount = PortsWaitingOn(events, count, &ports);
        // Bytes the port layer already holds are ready too, though poll() cannot see them.
        const auto holding = std::find_if(
            ports.begin(), ports.begin() + portCount,
            [](SerialPortObject* port) { return port->m_heldEnd > port->m_heldStart; });
        if (holding != ports.begin() + portCount) {
            (*holding)->CompleteCommWait();
            continue;
        }
        const int waker = ThreadWaker();
        if (waker < 0) return WAIT_FAILED;
        // The waker first, then the ports: one descriptor for every event of the wait.
        std::array<pollfd, 1 + kMaxPorts> fds;
        fds[0] = {waker, POLLIN, 0};
        for (std::size_t i = 0; i < portCount; ++i) fds[1 + i] = {ports[i]->m_fd, POLLIN, 0};
        for (DWORD i = 0; i < count; ++i) events[i]->AddSleeper(waker);
        const int ready = PollUntil(fds.data(), 1 + portCount, *deadline);
        const int error = errno;
        for (DWORD i = 0; i < count; ++i) events[i]->RemoveSleeper(waker);
        if (ready < 0) {
            FailSystemCall("poll", "(wait)", error);
            return WAIT_FAILED;
        }
        if (fds[0].revents & (POLLERR | POLLNVAL)) {
            // A waker that cannot be polled would end every sleep at once: fail, never spin.
            FailSystemCall("poll", "(waker)", EBADF);
            return WAIT_FAILED;
        }
        if (fds[0].revents & POLLIN) DrainWaker(waker);
        for (std::size_t i = 0; i < portCount; ++i) {
            const short revents = fds[1 + i].revents;
            if (revents & (POLLHUP | POLLERR | POLLNVAL)) {
                ports[i]->MarkGone(EIO);
                ports[i]->CompleteCommWait();
            } else if (revents & POLLIN) {
                ports[i]->CompleteCommWait();
            }
        }
    }
}

DWORD WaitForSingleObject(HANDLE handle, DWORD milliseconds) {
    return WaitForMultipleObjects(1, &handle, FALSE, milliseconds);
}
