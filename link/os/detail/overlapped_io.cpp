// The overlapped calls on a tty: comm event waits, reads through the port's read buffer, writes,
// and their results. A device that is gone fails the first call that meets it; later ones pend
// silently and complete with nothing.
#include <poll.h>
#include <unistd.h>

#include <cerrno>

#include "serial.h"
#include "serial_port_object.h"
#include "synchronization.h"
#include "timing.h"

namespace {

void SignalOverlapped(OVERLAPPED* overlapped) {
    if (overlapped != nullptr) SetEvent(overlapped->hEvent);
}

void ResetOverlapped(OVERLAPPED* overlapped) {
    if (overlapped != nullptr) ResetEvent(overlapped->hEvent);
}

// A transfer on a device already reported gone: pending, and it completes with nothing.
BOOL PendSilently(SerialPortObject& port, OVERLAPPED* overlapped) {
    port.m_pending = SerialPortObject::Pending::FailedTransfer;
    ResetOverlapped(overlapped);
    return FailWith(ERROR_IO_PENDING);
}

// A transfer that met a lost device: the first reports it, later ones pend silently.
BOOL FailGone(SerialPortObject& port, int error, OVERLAPPED* overlapped) {
    port.MarkGone(error);
    if (port.ReportGone()) return FALSE;
    return PendSilently(port, overlapped);
}

bool WaitUntilReady(int fd, short events, DWORD timeoutMs) {
    pollfd p{fd, events, 0};
    return PollUntil(&p, 1, Deadline(timeoutMs)) > 0;
}

}  // namespace

BOOL WaitCommEvent(HANDLE handle, DWORD* eventMask, OVERLAPPED* overlapped) {
    SerialPortObject* port = CheckedObject<SerialPortObject>(handle);
    if (port == nullptr) return FALSE;
    if (port->m_gone) {
        // Nothing will ever arrive: the wait stays pending without watching the device, until
        // a new mask ends it.
        ResetOverlapped(overlapped);
        if (port->ReportGone()) return FALSE;
        std::lock_guard lock(PendingPortsMutex());
        port->m_commWaitEvent = overlapped->hEvent;
        return FailWith(ERROR_IO_PENDING);
    }
    // A wait started while one is pending fails, and the pending one goes on watching.
    if (port->m_commWaitEvent != nullptr) {
        ResetOverlapped(overlapped);
        return FailWith(ERROR_INVALID_PARAMETER);
    }
    // Like every overlapped call, a wait resets its event unless it completes at once (which
    // would set it again): a completion signalled earlier (a write's, say) must not wake the
    // next wait. It completes at once for bytes this layer holds; what the device has is seen by
    // the wait that polls it, which costs no system call of its own.
    if (port->m_heldEnd > port->m_heldStart) {
        if (eventMask != nullptr) *eventMask = EV_RXCHAR & port->m_eventMask;
        SignalOverlapped(overlapped);
        return TRUE;
    }
    ResetOverlapped(overlapped);
    std::lock_guard lock(PendingPortsMutex());
    port->m_commWaitEvent = overlapped->hEvent;
    PendingPorts().push_back(port);
    return FailWith(ERROR_IO_PENDING);
}

BOOL ReadFile(HANDLE handle, LPVOID buffer, DWORD length, DWORD* read, OVERLAPPED* overlapped) {
    SerialPortObject* port = CheckedObject<SerialPortObject>(handle);
    if (port == nullptr) return FALSE;
    if (read != nullptr) *read = 0;
    port->m_lastTransferred = 0;
    if (port->m_gone) return FailGone(*port, port->m_goneError, overlapped);
    // The event is reset unless the read completes at once and so sets it again.
    const ssize_t got = port->m_heldEnd > port->m_heldStart ? 1 : port->FillFromDevice();
    if (got > 0) {
        port->m_lastTransferred = port->TakeHeld(buffer, length);
        if (read != nullptr) *read = port->m_lastTransferred;
        SignalOverlapped(overlapped);
        return TRUE;
    }
    const int error = got == 0 ? EIO : errno;
    if (ErrnoMeansDeviceGone(error)) return FailGone(*port, error, overlapped);
    ResetOverlapped(overlapped);
    if (error != EAGAIN && error != EINTR) {
        SetLastErrorFromErrno(error);
        return FALSE;
    }
    port->m_pending = SerialPortObject::Pending::Read;
    port->m_pendingBuffer = buffer;
    port->m_pendingLength = length;
    return FailWith(ERROR_IO_PENDING);
}

BOOL WriteFile(HANDLE handle, LPCVOID buffer, DWORD length, DWORD* written,
               OVERLAPPED* overlapped) {
    SerialPortObject* port = CheckedObject<SerialPortObject>(handle);
    if (port == nullptr) return FALSE;
    if (written != nullptr) *written = 0;
    port->m_lastTransferred = 0;
    if (port->m_gone) return FailGone(*port, port->m_goneError, overlapped);
    const DWORD timeoutMs = port->m_timeouts.WriteTotalTimeoutConstant +
                            port->m_timeouts.WriteTotalTimeoutMultiplier * length;
    const auto* bytes = static_cast<const BYTE*>(buffer);
    DWORD done = 0;
    // Completes at once: a reply-sized request fits the tty's queue; a full queue is waited
    // for up to the write timeout, after which the write ends short, as a port's would.
    while (done < length) {
        const ssize_t put = ::write(port->m_fd, bytes + done, length - done);
        if (put > 0) {
            done += static_cast<DWORD>(put);
            continue;
        }
        const int error = put < 0 ? errno : EAGAIN;  // nothing taken: wait for room
        if (error == EINTR) continue;
        if (error == EAGAIN) {
            if (!WaitUntilReady(port->m_fd, POLLOUT, timeoutMs)) break;
            continue;
        }
        port->FailCall("write");
        if (ErrnoMeansDeviceGone(error)) return FailGone(*port, error, overlapped);
        ResetOverlapped(overlapped);
        return FALSE;
    }
    port->m_lastTransferred = done;
    if (written != nullptr) *written = done;
    SignalOverlapped(overlapped);
    return TRUE;
}

BOOL GetOverlappedResult(HANDLE handle, OVERLAPPED* overlapped, DWORD* transferred, BOOL) {
    SerialPortObject* port = CheckedObject<SerialPortObject>(handle);
    if (port == nullptr) return FALSE;
    const SerialPortObject::Pending pending = port->m_pending;
    port->m_pending = SerialPortObject::Pending::None;
    if (transferred != nullptr) *transferred = 0;
    if (pending == SerialPortObject::Pending::Read) {
        const DWORD length = port->m_pendingLength;
        const DWORD timeoutMs = port->m_timeouts.ReadTotalTimeoutConstant +
                                port->m_timeouts.ReadTotalTimeoutMultiplier * length;
        port->m_lastTransferred = 0;
        // A read that times out completes with nothing, as a port's read does.
        if (WaitUntilReady(port->m_fd, POLLIN, timeoutMs)) {
            const ssize_t got = port->FillFromDevice();
            if (got == 0 || (got < 0 && ErrnoMeansDeviceGone(errno))) {
                port->MarkGone(got == 0 ? EIO : errno);
                if (port->ReportGone()) return FALSE;
            } else if (got < 0 && errno != EAGAIN) {
                SetLastErrorFromErrno(errno);  // the read traced it
                return FALSE;
            } else if (got > 0) {
                port->m_lastTransferred = port->TakeHeld(port->m_pendingBuffer, length);
            }
        }
    }
    if (transferred != nullptr) *transferred = port->m_lastTransferred;
    SignalOverlapped(overlapped);
    return TRUE;
}
