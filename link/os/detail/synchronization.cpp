#include "synchronization.h"

#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>

EventObject::~EventObject() { close(m_fd); }

bool EventObject::IsSignalled() {
    std::lock_guard lock(m_mutex);
    return m_signalled;
}

void EventObject::SetFd() {
    if (m_fdSet) return;
    m_fdSet = true;
    const std::uint64_t one = 1;
    // The counter holds at most 1, so the add cannot fail for a full counter.
    (void)!write(m_fd, &one, sizeof one);
}

void EventObject::Signal() {
    std::lock_guard lock(m_mutex);
    m_signalled = true;
    if (m_sleepers > 0) SetFd();
}

bool EventObject::Consume() {
    std::lock_guard lock(m_mutex);
    if (!m_signalled) return false;
    m_signalled = false;
    if (m_fdSet) {
        m_fdSet = false;
        std::uint64_t count = 0;
        (void)!read(m_fd, &count, sizeof count);
    }
    return true;
}

void EventObject::AddSleeper() {
    std::lock_guard lock(m_mutex);
    ++m_sleepers;
    // Signalled since the waiter last looked: the sleep must end at once.
    if (m_signalled) SetFd();
}

void EventObject::RemoveSleeper() {
    std::lock_guard lock(m_mutex);
    --m_sleepers;
}

HANDLE CreateEventA(void*, BOOL manualReset, BOOL initialState, LPCSTR) {
    const int fd = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (fd < 0) {
        FailSystemCall("eventfd", "(event)", errno);
        return nullptr;
    }
    return static_cast<KernelObject*>(
        new EventObject(fd, manualReset != FALSE, initialState != FALSE));
}

BOOL SetEvent(HANDLE event) {
    auto* object = CheckedObject<EventObject>(event);
    if (object == nullptr) return FALSE;
    object->Signal();
    return TRUE;
}

BOOL ResetEvent(HANDLE event) {
    auto* object = CheckedObject<EventObject>(event);
    if (object == nullptr) return FALSE;
    object->Consume();
    return TRUE;
}
