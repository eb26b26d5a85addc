#include "events.h"

#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>

#include "event_object.h"
#include "last_error.h"

EventObject::~EventObject() { close(fd); }

bool EventObject::IsSignalled() {
    std::lock_guard lock(mutex);
    return signalled;
}

void EventObject::Signal() {
    std::lock_guard lock(mutex);
    if (signalled) return;
    signalled = true;
    const std::uint64_t one = 1;
    // The counter holds at most 1, so the add cannot fail for a full counter.
    (void)!write(fd, &one, sizeof one);
}

bool EventObject::Consume() {
    std::lock_guard lock(mutex);
    if (!signalled) return false;
    signalled = false;
    std::uint64_t count = 0;
    (void)!read(fd, &count, sizeof count);
    return true;
}

HANDLE CreateEventA(void*, BOOL manualReset, BOOL initialState, LPCSTR) {
    const int fd = eventfd(initialState ? 1 : 0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (fd < 0) {
        SetLastErrorFromErrno(errno);
        return nullptr;
    }
    return static_cast<KernelObject*>(
        new EventObject(fd, manualReset != FALSE, initialState != FALSE));
}

BOOL SetEvent(HANDLE event) {
    auto* object = ObjectFromHandle<EventObject>(event);
    if (object == nullptr) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    object->Signal();
    return TRUE;
}

BOOL ResetEvent(HANDLE event) {
    auto* object = ObjectFromHandle<EventObject>(event);
    if (object == nullptr) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    object->Consume();
    return TRUE;
}
