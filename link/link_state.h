// The link's process-wide state: its one serial port, the connected and opening flags and the
// access lock that serialises every exchange with the sensor.
#pragma once

#include <atomic>
#include <memory>

#include "comm_port.h"

inline constexpr DWORD kAccessLockWait = 2600;

extern CCommPort g_commPort;
extern std::atomic<int> g_nConnected;  // the sensor's identity was verified (or reconnect)
extern std::atomic<int> g_nOpening;    // the identity check of ZEKO_initial is running

// Parameter and block exchanges run only when the link is ready.
bool LinkReady();

// Creates the access lock (free) unless one exists.
void EnsureAccessLock();

// One call's hold on the access lock. The lock is an auto-reset event with no owner: whoever
// takes it releases it by signalling. A taken lock is released when the holder goes.
class AccessLockHolder {
public:
    AccessLockHolder() = default;
    ~AccessLockHolder();
    AccessLockHolder(const AccessLockHolder&) = delete;
    AccessLockHolder& operator=(const AccessLockHolder&) = delete;

    // ZEKO_OK when taken, ZEKO_NO_LOCK when there is no lock, ZEKO_LOCK_BUSY after 2600 ms.
    int Take();
    // Forgets the lock without releasing it: from now on there is none. Callers still waiting
    // for it give up after their wait.
    void Discard();

private:
    std::shared_ptr<void> m_lock;
    bool m_taken = false;
};
