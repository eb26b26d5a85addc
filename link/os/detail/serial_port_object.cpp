#include "serial_port_object.h"

#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "exclusive_open.h"
#include "synchronization.h"

SerialPortObject::~SerialPortObject() {
    {
        std::lock_guard lock(PendingPortsMutex());
        std::erase(PendingPorts(), this);
    }
    CloseExclusive(m_open);
}

BOOL SerialPortObject::FailCall(const char* call) const {
    return FailSystemCall(call, m_path.c_str(), errno);
}

int SerialPortObject::QueuedBytes() {
    if (m_heldEnd > m_heldStart) return static_cast<int>(m_heldEnd - m_heldStart);
    // Asking the device is as dear as reading it, and a read keeps what it finds.
    if (const ssize_t got = FillFromDevice(); got > 0) return static_cast<int>(got);
    if (errno == EAGAIN) return 0;
    int queued = 0;
    if (ioctl(m_fd, FIONREAD, &queued) == 0) return queued;
    FailCall("ioctl(FIONREAD)");
    return -1;
}

DWORD SerialPortObject::TakeHeld(void* buffer, DWORD length) {
    const std::size_t count = std::min<std::size_t>(length, m_heldEnd - m_heldStart);
    std::memcpy(buffer, m_held.data() + m_heldStart, count);
    m_heldStart += count;
    if (m_heldStart == m_heldEnd) DropHeld();
    return static_cast<DWORD>(count);
}

ssize_t SerialPortObject::FillFromDevice() {
    const ssize_t got = ::read(m_fd, m_held.data(), m_held.size());
    m_heldStart = 0;
    m_heldEnd = got > 0 ? static_cast<std::size_t>(got) : 0;
    if (got == 0) errno = EIO;  // the other side closed: read as a lost device
    if (got <= 0 && errno != EAGAIN && errno != EINTR) {
        const int error = errno;
        FailCall("read");
        errno = error;
    }
    return got;
}

void SerialPortObject::MarkGone(int error) {
    if (m_gone) return;
    m_gone = true;
    m_goneError = error;
}

bool SerialPortObject::ReportGone() {
    if (m_goneReported) return false;
    m_goneReported = true;
    SetLastErrorFromErrno(m_goneError);
    return true;
}

void SerialPortObject::CompleteCommWait() {
    std::lock_guard lock(PendingPortsMutex());
    if (m_commWaitEvent == nullptr) return;
    SetEvent(m_commWaitEvent);
    m_commWaitEvent = nullptr;
    std::erase(PendingPorts(), this);
}

// Never destroyed: the link's port is a static object whose destructor, at exit, still needs
// them after function-local statics may already be gone.
std::mutex& PendingPortsMutex() {
    static auto* mutex = new std::mutex;
    return *mutex;
}

std::vector<SerialPortObject*>& PendingPorts() {
    static auto* ports = new std::vector<SerialPortObject*>;
    return *ports;
}
