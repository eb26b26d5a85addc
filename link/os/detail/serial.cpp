#include "serial.h"

#include <fcntl.h>
#include <linux/serial.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>

#include "error_report.h"
#include "port_names.h"
#include "serial_port_object.h"
#include "synchronization.h"
#include "timing.h"

namespace {

struct BaudRate {
    DWORD rate;
    speed_t speed;
};

constexpr BaudRate kBaudRates[] = {
    {1200, B1200},     {2400, B2400},     {4800, B4800},     {9600, B9600},
    {19200, B19200},   {38400, B38400},   {57600, B57600},   {115200, B115200},
    {230400, B230400}, {460800, B460800}, {921600, B921600},
};

std::optional<speed_t> SpeedFor(DWORD rate) {
    for (const BaudRate& b : kBaudRates) {
        if (b.rate == rate) return b.speed;
    }
    return std::nullopt;
}

DWORD RateFor(speed_t speed) {
    for (const BaudRate& b : kBaudRates) {
        if (b.speed == speed) return b.rate;
    }
    return 0;
}

// A system call on the port failed: errno becomes the last error (and a trace line).
BOOL FailCall(const SerialPortObject& port, const char* call) {
    return FailSystemCall(call, port.m_path.c_str(), errno);
}

BOOL FailWith(DWORD code) {
    SetLastError(code);
    return FALSE;
}

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

bool ParseStopBits(const std::string& value, BYTE* stopBits) {
    if (value == "1") {
        *stopBits = ONESTOPBIT;
    } else if (value == "2") {
        *stopBits = TWOSTOPBITS;
    } else {
        return false;
    }
    return true;
}

bool ParseParity(const std::string& value, DCB* settings) {
    if (value.size() != 1) return false;
    switch (value[0]) {
        case 'n':
        case 'N':
            settings->Parity = NOPARITY;
            break;
        case 'e':
        case 'E':
            settings->Parity = EVENPARITY;
            break;
        case 'o':
        case 'O':
            settings->Parity = ODDPARITY;
            break;
        default:
            return false;
    }
    settings->fParity = settings->Parity != NOPARITY;
    return true;
}

bool ParseSetting(const std::string& key, const std::string& value, DCB* settings) {
    char* end = nullptr;
    const unsigned long number = std::strtoul(value.c_str(), &end, 10);
    const bool isNumber = !value.empty() && *end == '\0';
    if (key == "baud" && isNumber) {
        settings->BaudRate = static_cast<DWORD>(number);
    } else if (key == "data" && isNumber && number >= 5 && number <= 8) {
        settings->ByteSize = static_cast<BYTE>(number);
    } else if (key == "parity") {
        return ParseParity(value, settings);
    } else if (key == "stop") {
        return ParseStopBits(value, &settings->StopBits);
    } else {
        return false;
    }
    return true;
}

// A failure here is only traced: ptys and many adapters have no modem lines to drive.
void SetModemLineBestEffort(const SerialPortObject& port, int line, bool on, const char* call) {
    if (ioctl(port.m_fd, on ? TIOCMBIS : TIOCMBIC, &line) != 0) FailCall(port, call);
}

// Real UARTs deliver a short reply sooner with low latency; ptys and many adapters say ENOTTY.
void SetLowLatencyBestEffort(const SerialPortObject& port) {
    serial_struct serial{};
    if (ioctl(port.m_fd, TIOCGSERIAL, &serial) != 0) {
        FailCall(port, "ioctl(TIOCGSERIAL)");
        return;
    }
    serial.flags |= ASYNC_LOW_LATENCY;
    if (ioctl(port.m_fd, TIOCSSERIAL, &serial) != 0) FailCall(port, "ioctl(TIOCSSERIAL)");
}

}  // namespace

SerialPortObject::~SerialPortObject() {
    {
        std::lock_guard lock(PendingPortsMutex());
        std::erase(PendingPorts(), this);
    }
    ioctl(m_fd, TIOCNXCL);
    flock(m_fd, LOCK_UN);
    close(m_fd);
}

int SerialPortObject::QueuedBytes() {
    if (m_heldEnd > m_heldStart) return static_cast<int>(m_heldEnd - m_heldStart);
    // Asking the device is as dear as reading it, and a read keeps what it finds.
    if (const ssize_t got = FillFromDevice(); got > 0) return static_cast<int>(got);
    if (errno == EAGAIN) return 0;
    int queued = 0;
    if (ioctl(m_fd, FIONREAD, &queued) == 0) return queued;
    FailCall(*this, "ioctl(FIONREAD)");
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
        FailCall(*this, "read");
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

bool IsDeviceGoneError(int error) { return error == EIO || error == ENXIO || error == ENODEV; }

HANDLE CreateFileA(LPCSTR name, DWORD, DWORD, void*, DWORD, DWORD, HANDLE) {
    const std::optional<std::string> path = ResolvePortName(name);
    if (!path) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    const int fd = open(path->c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        FailSystemCall("open", path->c_str(), errno);
        if (errno == ENOENT) SetLastError(ERROR_FILE_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    // Not shared: an advisory lock keeps out other programs that ask, TIOCEXCL those that don't.
    const bool terminal = isatty(fd);
    if (!terminal || flock(fd, LOCK_EX | LOCK_NB) != 0) {
        FailSystemCall(terminal ? "flock" : "isatty", path->c_str(), terminal ? EBUSY : ENOTTY);
        close(fd);
        return INVALID_HANDLE_VALUE;
    }
    auto* port = new SerialPortObject(fd, *path);
    if (ioctl(fd, TIOCEXCL) != 0) FailCall(*port, "ioctl(TIOCEXCL)");
    return static_cast<KernelObject*>(port);
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

BOOL GetCommState(HANDLE handle, DCB* settings) {
    SerialPortObject* port = CheckedObject<SerialPortObject>(handle);
    if (port == nullptr) return FALSE;
    termios tio{};
    if (tcgetattr(port->m_fd, &tio) != 0) return FailCall(*port, "tcgetattr");
    settings->BaudRate = RateFor(cfgetospeed(&tio));
    switch (tio.c_cflag & CSIZE) {
        case CS5:
            settings->ByteSize = 5;
            break;
        case CS6:
            settings->ByteSize = 6;
            break;
        case CS7:
            settings->ByteSize = 7;
            break;
        default:
            settings->ByteSize = 8;
            break;
    }
    settings->fParity = (tio.c_cflag & PARENB) != 0;
    settings->Parity =
        !settings->fParity ? NOPARITY : ((tio.c_cflag & PARODD) ? ODDPARITY : EVENPARITY);
    settings->StopBits = (tio.c_cflag & CSTOPB) ? TWOSTOPBITS : ONESTOPBIT;
    // Flow control as the tty was left, perhaps by another program: a caller must switch it off.
    settings->fOutX = (tio.c_iflag & IXON) != 0;
    settings->fInX = (tio.c_iflag & IXOFF) != 0;
    settings->fOutxCtsFlow = (tio.c_cflag & CRTSCTS) != 0;
    settings->fRtsControl = settings->fOutxCtsFlow ? RTS_CONTROL_HANDSHAKE : RTS_CONTROL_ENABLE;
    settings->fDtrControl = DTR_CONTROL_ENABLE;
    // What this layer cannot do is off.
    settings->fBinary = TRUE;
    settings->fOutxDsrFlow = settings->fDsrSensitivity = FALSE;
    settings->fErrorChar = settings->fNull = settings->fAbortOnError = FALSE;
    return TRUE;
}

BOOL BuildCommDCBA(LPCSTR definition, DCB* settings) {
    DCB built = *settings;
    char key[16];
    char value[16];
    int consumed = 0;
    for (const char* p = definition; *p != '\0'; p += consumed) {
        if (std::sscanf(p, " %15[a-z]=%15s%n", key, value, &consumed) != 2 ||
            !ParseSetting(key, value, &built)) {
            return FailWith(ERROR_INVALID_PARAMETER);
        }
        while (p[consumed] == ' ') ++consumed;
    }
    *settings = built;
    return TRUE;
}

BOOL SetCommState(HANDLE handle, DCB* settings) {
    SerialPortObject* port = CheckedObject<SerialPortObject>(handle);
    if (port == nullptr) return FALSE;
    const std::optional<speed_t> speed = SpeedFor(settings->BaudRate);
    if (!speed || settings->ByteSize < 5 || settings->ByteSize > 8 ||
        (settings->StopBits != ONESTOPBIT && settings->StopBits != TWOSTOPBITS) ||
        !settings->fBinary || settings->fOutxDsrFlow || settings->fDsrSensitivity ||
        settings->fErrorChar || settings->fNull || settings->fAbortOnError) {
        return FailWith(ERROR_INVALID_PARAMETER);
    }
    termios tio{};
    if (tcgetattr(port->m_fd, &tio) != 0) return FailCall(*port, "tcgetattr");
    // Raw: no echo, no line editing, no CR/LF translation, no signal characters; flow control
    // only as the settings ask, whatever the tty had.
    cfmakeraw(&tio);
    tio.c_cflag &= ~(CSIZE | PARENB | PARODD | CSTOPB | CRTSCTS);
    constexpr tcflag_t kSizes[] = {CS5, CS6, CS7, CS8};
    tio.c_cflag |= kSizes[settings->ByteSize - 5] | CLOCAL | CREAD;
    if (settings->Parity == ODDPARITY) tio.c_cflag |= PARENB | PARODD;
    if (settings->Parity == EVENPARITY) tio.c_cflag |= PARENB;
    if (settings->StopBits == TWOSTOPBITS) tio.c_cflag |= CSTOPB;
    const bool hardwareFlow =
        settings->fOutxCtsFlow || settings->fRtsControl == RTS_CONTROL_HANDSHAKE;
    if (hardwareFlow) tio.c_cflag |= CRTSCTS;
    tio.c_iflag &= ~(IXON | IXOFF | IXANY);
    if (settings->fOutX) tio.c_iflag |= IXON;
    if (settings->fInX) tio.c_iflag |= IXOFF;
    cfsetispeed(&tio, *speed);
    cfsetospeed(&tio, *speed);
    if (tcsetattr(port->m_fd, TCSANOW, &tio) != 0) return FailCall(*port, "tcsetattr");
    SetModemLineBestEffort(*port, TIOCM_DTR, settings->fDtrControl == DTR_CONTROL_ENABLE,
                           "ioctl(DTR)");
    if (!hardwareFlow) {
        SetModemLineBestEffort(*port, TIOCM_RTS, settings->fRtsControl == RTS_CONTROL_ENABLE,
                               "ioctl(RTS)");
    }
    SetLowLatencyBestEffort(*port);
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
        return FailCall(*port, "tcflush");
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
    if (IsDeviceGoneError(error)) return FailGone(*port, error, overlapped);
    ResetOverlapped(overlapped);
    if (error != EAGAIN && error != EINTR) {
        SetLastErrorFromErrno(error);
        return FALSE;
    }
    port->m_pending = SerialPortObject::Pending::Read;
    port->m_pendingBuffer = buffer;
    port->m_lastTransferred = length;  // the length asked for, until the read completes
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
        FailCall(*port, "write");
        if (IsDeviceGoneError(error)) return FailGone(*port, error, overlapped);
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
        const DWORD length = port->m_lastTransferred;
        const DWORD timeoutMs = port->m_timeouts.ReadTotalTimeoutConstant +
                                port->m_timeouts.ReadTotalTimeoutMultiplier * length;
        port->m_lastTransferred = 0;
        // A read that times out completes with nothing, as a port's read does.
        if (WaitUntilReady(port->m_fd, POLLIN, timeoutMs)) {
            const ssize_t got = port->FillFromDevice();
            if (got == 0 || (got < 0 && IsDeviceGoneError(errno))) {
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
