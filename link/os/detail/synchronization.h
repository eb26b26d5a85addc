// Unnamed events, manual-reset or auto-reset, backed by an eventfd so that a wait can sleep in
// poll() on events and serial ports together; and the port lock, a critical section.
#pragma once

#include <mutex>
#include <optional>

#include "kernel_object.h"

HANDLE CreateEventA(void* attributes, BOOL manualReset, BOOL initialState, LPCSTR name);
BOOL SetEvent(HANDLE event);
BOOL ResetEvent(HANDLE event);

// The state lives in a flag that the checks read without a system call. The eventfd that poll()
// sleeps on mirrors it only while a wait is sleeping on the event: setting, resetting and taking
// an event nobody sleeps on cost no system call, and a sleeping waiter is still woken.
class EventObject : public KernelObject {
public:
    EventObject(int eventFd, bool manual, bool initialState)
        : m_fd(eventFd), m_manualReset(manual), m_signalled(initialState) {}
    ~EventObject() override;

    int Fd() const { return m_fd; }
    bool ManualReset() const { return m_manualReset; }
    bool IsSignalled();
    void Signal();
    // Resets the event; true when it was signalled, so that of several threads waiting on an
    // auto-reset event exactly one takes it.
    bool Consume();

    // A wait about to sleep on the eventfd, and done sleeping.
    void AddSleeper();
    void RemoveSleeper();

private:
    void SetFd();

    const int m_fd;
    const bool m_manualReset;
    std::mutex m_mutex;
    bool m_signalled;
    bool m_fdSet = false;
    int m_sleepers = 0;
};

// The port lock: a re-entrant lock owned by the thread that takes it.
struct CRITICAL_SECTION {
    std::optional<std::recursive_mutex> mutex;
};

// Makes the lock ready; it must not be held by anyone at that moment.
inline void InitializeCriticalSection(CRITICAL_SECTION* section) { section->mutex.emplace(); }
inline void DeleteCriticalSection(CRITICAL_SECTION* section) { section->mutex.reset(); }
inline void EnterCriticalSection(CRITICAL_SECTION* section) { section->mutex->lock(); }
inline void LeaveCriticalSection(CRITICAL_SECTION* section) { section->mutex->unlock(); }
