// Opening a tty as a serial port, its event mask and time-outs, and its queues.
#include "serial.h"

#include <termios.h>

#include <cerrno>
#include <optional>
#include <string>

#include "exclusive_open.h"
#include "port_names.h"
#include "serial_port_object.h"

HANDLE CreateFileA(LPCSTR name, DWORD, DWORD, void*, DWORD, DWORD, HANDLE) {
    const std::optional<std::string> path = ResolvePortName(name);
    if (!path) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    const ExclusiveOpen opened = OpenExclusive(path->c_str());
    if (opened.fd < 0) {
        FailSystemCall(opened.call, path->c_str(), opened.error);
        if (opened.error == ENOENT) SetLastError(ERROR_FILE_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    if (opened.exclusiveError != 0) {
        FailSystemCall("ioctl(TIOCEXCL)", path->c_str(), opened.exclusiveError);
    }
    return static_cast<KernelObject*>(new SerialPortObject(opened, *path));
}

BOOL SetCommTimeouts(HANDLE handle, COMMTIMEOUTS* timeouts) {
    SerialPortObject* port = CheckedObject<SerialPortObject>(handle);
    if (port == nullptr) return FALSE;
    port->m_timeouts = *timeouts;
    return TRUE;
}

BOOL SetCommMask(HANDLE handle, DWORD eventMask) {
    SerialPortObject* port = CheckedObject<SerialPortObject>(handle);
    if (port == nullptr) return FALSE;
    port->m_eventMask = eventMask;
    // A new mask ends the comm wait pending on the port, which completes reporting no event.
    port->CompleteCommWait();
    return TRUE;
}

BOOL GetCommMask(HANDLE handle, DWORD* eventMask) {
    SerialPortObject* port = CheckedObject<SerialPortObject>(handle);
    if (port == nullptr) return FALSE;
    *eventMask = port->m_eventMask;
    return TRUE;
}

BOOL PurgeComm(HANDLE handle, DWORD flags) {
    SerialPortObject* port = CheckedObject<SerialPortObject>(handle);
    if (port == nullptr) return FALSE;
    if (flags & PURGE_RXABORT && port->m_pending == SerialPortObject::Pending::Read) {
        port->m_pending = SerialPortObject::Pending::None;
    }
    const bool input = flags & PURGE_RXCLEAR;
    const bool output = flags & PURGE_TXCLEAR;
    if (input) port->DropHeld();
    if (!input && !output) return TRUE;
    if (tcflush(port->m_fd, input && output ? TCIOFLUSH : (input ? TCIFLUSH : TCOFLUSH)) != 0) {
        return port->FailCall("tcflush");
    }
    return TRUE;
}

BOOL ClearCommError(HANDLE handle, DWORD* errors, COMSTAT* status) {
    SerialPortObject* port = CheckedObject<SerialPortObject>(handle);
    if (port == nullptr) return FALSE;
    if (errors != nullptr) *errors = 0;
    const int queued = port->QueuedBytes();
    if (queued < 0) return FALSE;  // the query set the last error
    if (status != nullptr) status->cbInQue = static_cast<DWORD>(queued);
    return TRUE;
}
