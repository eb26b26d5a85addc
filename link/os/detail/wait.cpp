#include "wait.h"

#include <algorithm>
#include <cerrno>
#include <vector>

#include "serial_port_object.h"
#include "synchronization.h"
#include "timing.h"

namespace {

// Returns the index of the first signalled event, taking it when it is auto-reset; -1 if none.
int FirstSignalled(const std::vector<EventObject*>& events) {
    for (std::size_t i = 0; i < events.size(); ++i) {
        if (!events[i]->IsSignalled()) continue;
        if (events[i]->ManualReset() || events[i]->Consume()) return static_cast<int>(i);
    }
    return -1;
}

std::vector<SerialPortObject*> PortsWaitingOn(const std::vector<EventObject*>& events) {
    std::lock_guard lock(PendingPortsMutex());
    std::vector<SerialPortObject*> ports;
    for (SerialPortObject* port : PendingPorts()) {
        for (EventObject* event : events) {
            if (port->m_commWaitEvent == static_cast<KernelObject*>(event)) ports.push_back(port);
        }
    }
    return ports;
}

}  // namespace

DWORD WaitForMultipleObjects(DWORD count, const HANDLE* handles, BOOL, DWORD milliseconds) {
    if (count == 0 || count > MAXIMUM_WAIT_OBJECTS) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return WAIT_FAILED;
    }
    std::vector<EventObject*> events;
    for (DWORD i = 0; i < count; ++i) {
        auto* event = CheckedObject<EventObject>(handles[i]);
        if (event == nullptr) return WAIT_FAILED;
        events.push_back(event);
    }
    const Deadline deadline(milliseconds);
    for (;;) {
        if (const int index = FirstSignalled(events); index >= 0) return WAIT_OBJECT_0 + index;
        if (deadline.RemainingMs() == 0) return WAIT_TIMEOUT;

        const std::vector<SerialPortObject*> ports = PortsWaitingOn(events);
        // Bytes the port layer already holds are ready too, though poll() cannot see them.
        const auto holding = std::find_if(ports.begin(), ports.end(), [](SerialPortObject* port) {
            return port->m_heldEnd > port->m_heldStart;
        });
        if (holding != ports.end()) {
            (*holding)->CompleteCommWait();
            continue;
        }
        std::vector<pollfd> fds;
        for (EventObject* event : events) {
            event->AddSleeper();
            fds.push_back({event->Fd(), POLLIN, 0});
        }
        for (SerialPortObject* port : ports) fds.push_back({port->m_fd, POLLIN, 0});
        const int ready = PollUntil(fds.data(), fds.size(), deadline);
        const int error = errno;
        for (EventObject* event : events) event->RemoveSleeper();
        if (ready < 0) {
            FailSystemCall("poll", "(wait)", error);
            return WAIT_FAILED;
        }
        for (std::size_t i = 0; i < ports.size(); ++i) {
            const short revents = fds[events.size() + i].revents;
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
