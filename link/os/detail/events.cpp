#include "events.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>

#include "event_object.h"
#include "last_error.h"

EventObject::~EventObject() { close(fd); }

bool EventObject::IsSignalled() const {
    pollfd p{fd, POLLIN, 0};
    return poll(&p, 1, 0) > 0 && (p.revents & POLLIN);
}

void EventObject::Signal() const {
    const std::uint64_t one = 1;
    // A full counter is still signalled, so a failed add changes nothing that matters.
    (void)!write(fd, &one, sizeof one);
}

bool EventObject::Consume() const {
    std::uint64_t count = 0;
    return read(fd, &count, sizeof count) == static_cast<ssize_t>(sizeof count);
}

HANDLE CreateEventA(void*, BOOL manualReset, BOOL initialState, LPCSTR) {
    const int fd = eventfd(initialState ? 1 : 0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (fd < 0) {
        SetLastErrorFromErrno(errno);
        return nullptr;
    }
    return static_cast<KernelObject*>(new EventObject(fd, manualReset != FALSE));
}

BOOL SetEvent(HANDLE event) {
    const auto* object = ObjectFromHandle<EventObject>(event);
    if (object == nullptr) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    object->Signal();
    return TRUE;
}

BOOL ResetEvent(HANDLE event) {
    const auto* object = ObjectFromHandle<EventObject>(event);
    if (object == nullptr) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    object->Consume();
    return TRUE;
}
