#include "link_state.h"

#include <mutex>

#include "os/platform.h"
#include "zeko_api.h"
#include "zeko_scan.h"

CCommPort g_commPort;
std::atomic<int> g_nConnected{0};
std::atomic<int> g_nOpening{0};

namespace {

// Guards the lock's handle, not the lock: a caller copies the handle under it and then waits
// on its own copy, so a discard never pulls the event from under a waiter.
std::mutex g_accessLockGuard;
std::shared_ptr<void> g_accessLock;

}  // namespace

bool LinkReady() { return g_nConnected != 0 || g_nOpening != 0; }

bool LinkDeviceGone() { return g_commPort.DeviceGone(); }

void EnsureAccessLock() {
    std::lock_guard guard(g_accessLockGuard);
    if (g_accessLock) return;
    HANDLE event = CreateEventA(nullptr, FALSE, TRUE, nullptr);
    if (event != nullptr) g_accessLock = std::shared_ptr<void>(event, CloseHandle);
}

AccessLockHolder::~AccessLockHolder() {
    if (m_taken) SetEvent(m_lock.get());
}

int AccessLockHolder::Take() {
    {
        std::lock_guard guard(g_accessLockGuard);
        m_lock = g_accessLock;
    }
    if (!m_lock) return ZEKO_NO_LOCK;
    if (WaitForSingleObject(m_lock.get(), kAccessLockWait) != WAIT_OBJECT_0) {
        m_lock.reset();
        return ZEKO_LOCK_BUSY;
    }
    m_taken = true;
    return ZEKO_OK;
}

void AccessLockHolder::Discard() {
    std::lock_guard guard(g_accessLockGuard);
    if (g_accessLock == m_lock) g_accessLock.reset();
    m_taken = false;
}
