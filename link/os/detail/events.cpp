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

void EventObject::SetFd() {
    if (fdSet) return;
    fdSet = true;
    const std::uint64_t one = 1;
    // The counter holds at most 1, so the add cannot fail for a full counter.
    (void)!write(fd, &one, sizeof one);
}

void EventObject::Signal() {
    std::lock_guard lock(mutex);
    signalled = true;
    if (sleepers > 0) SetFd();
}

bool EventObject::Consume() {
    std::lock_guard lock(mutex);
    if (!signalled) return false;
    signalled = false;
    if (fdSet) {
        fdSet = false;
        std::uint64_t count = 0;
        (void)!read(fd, &count, sizeof count);
    }
    return true;
}

void EventObject::AddSleeper() {
    std::lock_guard lock(mutex);
    ++sleepers;
    // Signalled since the waiter last looked: the sleep must end at once.
    if (signalled) SetFd();
}

void EventObject::RemoveSleeper() {
    std::lock_guard lock(mutex);
    --sleepers;
}

HANDLE CreateEventA(void*, BOOL manualReset, BOOL initialState, LPCSTR) {
    const int fd = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
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
