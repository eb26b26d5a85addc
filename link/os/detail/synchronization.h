// Unnamed events, manual-reset or auto-reset, that a wait can sleep on in poll() together with
// serial ports; and the port lock, a critical section.
#pragma once

#include <atomic>
#include <mutex>
#include <optional>
#include <vector>

#include "kernel_object.h"

HANDLE CreateEventA(void* attributes, BOOL manualReset, BOOL initialState, LPCSTR name);
BOOL SetEvent(HANDLE event);
BOOL ResetEvent(HANDLE event);

// The state lives in a flag that the checks read without a system call or a lock; it changes only
// under the mutex. A thread that sleeps on events sleeps in poll() on its own waker (an eventfd,
// ThreadWaker), which it hands to each event first: setting an event writes the wakers of the
// threads sleeping on it, so a wait polls one descriptor for all its events, and setting or
// resetting an event nobody sleeps on costs no system call. Setting an event already set and
// resetting one already reset change nothing and take no lock (a reply's one-byte reads each set
// their event).
class EventObject : public KernelObject {
public:
    static constexpr Kind kKind = Kind::Event;

    EventObject(bool manual, bool initialState)
        : KernelObject(kKind), m_manualReset(manual), m_signalled(initialState) {}

    bool ManualReset() const { return m_manualReset; }
    bool IsSignalled() const { return m_signalled.load(std::memory_order_acquire); }
    void Signal();
    // Resets the event; true when it was signalled, so that of several threads waiting on an
    // auto-reset event exactly one takes it.
    bool Consume();

    // A wait about to sleep on its waker, and done sleeping. An event already set wakes the
    // waker at once.
    void AddSleeper(int waker);
    void RemoveSleeper(int waker);

private:
    const bool m_manualReset;
    std::mutex m_mutex;
    std::atomic<bool> m_signalled;
    std::vector<int> m_sleepers;  // the wakers of the threads sleeping on the event
};

// The calling thread's waker, made at its first wait and closed when the thread ends; -1 when it
// could not be made (the last error set).
int ThreadWaker();
// Empties a waker that woke its thread, so that its next sleep lasts.
void DrainWaker(int waker);

// The port lock: a re-entrant lock owned by the thread that takes it.
struct CRITICAL_SECTION {
    std::optional<std::recursive_mutex> mutex;
};

// Makes the lock ready; it must not be held by anyone at that moment.
inline void InitializeCriticalSection(CRITICAL_SECTION* section) { section->mutex.emplace(); }
inline void DeleteCriticalSection(CRITICAL_SECTION* section) { section->mutex.reset(); }
inline void EnterCriticalSection(CRITICAL_SECTION* section) { section->mutex->lock(); }
inline void LeaveCriticalSection(CRITICAL_SECTION* section) { section->mutex->unlock(); }
