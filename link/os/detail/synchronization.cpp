#include "synchronization.h"

#include <pthread.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>

namespace {

void Wake(int waker) {
    const std::uint64_t one = 1;
    // The counter only adds up until the waiter empties it: the add cannot fail for a full one.
    (void)!write(waker, &one, sizeof one);
}

// The thread's waker. A plain int, not an object with a destructor: the link's static port may
// still wait while the program exits, after the thread's objects with destructors are gone.
thread_local int t_waker = -1;

// Closes a thread's waker when the thread ends (the destructor runs on that thread). The key's
// value only has to be non-null for the destructor to run.
pthread_key_t WakerKey() {
    static const pthread_key_t key = [] {
        pthread_key_t created{};
        pthread_key_create(&created, [](void*) {
            close(t_waker);
            t_waker = -1;
        });
        return created;
    }();
    return key;
}

}  // namespace

void EventObject::Signal() {
    if (IsSignalled()) return;
    std::lock_guard lock(m_mutex);
    m_signalled.store(true, std::memory_order_release);
    for (const int waker : m_sleepers) Wake(waker);
}

bool EventObject::Consume() {
    if (!IsSignalled()) return false;
    std::lock_guard lock(m_mutex);
    if (!m_signalled.load(std::memory_order_relaxed)) return false;
    m_signalled.store(false, std::memory_order_release);
    return true;
}

void EventObject::AddSleeper(int waker) {
    std::lock_guard lock(m_mutex);
    m_sleepers.push_back(waker);
    // Set since the waiter last looked: the sleep must end at once.
    if (m_signalled.load(std::memory_order_relaxed)) Wake(waker);
}

void EventObject::RemoveSleeper(int waker) {
    std::lock_guard lock(m_mutex);
    const auto found = std::find(m_sleepers.begin(), m_sleepers.end(), waker);
    if (found != m_sleepers.end()) m_sleepers.erase(found);
}

int ThreadWaker() {
    if (t_waker >= 0) return t_waker;
    const int fd = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (fd < 0) {
        FailSystemCall("eventfd", "(wait)", errno);
        return -1;
    }
    t_waker = fd;
    pthread_setspecific(WakerKey(), &t_waker);
    return t_waker;
}

void DrainWaker(int waker) {
    std::uint64_t count = 0;
    (void)!read(waker, &count, sizeof count);
}

HANDLE CreateEventA(void*, BOOL manualReset, BOOL initialState, LPCSTR) {
    return static_cast<KernelObject*>(new EventObject(manualReset != FALSE, initialState != FALSE));
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
