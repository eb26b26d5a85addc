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
#include <chrono>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>

#include "events.h"
#include "last_error.h"
#include "os/port_names.h"
#include "serial_port_object.h"

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

SerialPortObject* PortFromHandle(HANDLE handle) {
    auto* port = ObjectFromHandle<SerialPortObject>(handle);
    if (port == nullptr) SetLastError(ERROR_INVALID_HANDLE);
    return port;
}

BOOL FailWithErrno() {
    SetLastErrorFromErrno(errno);
    return FALSE;
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
    port.pending = SerialPortObject::Pending::FailedTransfer;
    ResetOverlapped(overlapped);
    return FailWith(ERROR_IO_PENDING);
}

// A transfer that met a lost device: the first reports it, later ones pend silently.
BOOL FailGone(SerialPortObject& port, int error, OVERLAPPED* overlapped) {
    port.MarkGone(error);
    if (port.ReportGone()) return FALSE;
    return PendSilently(port, overlapped);
}

bool WaitUntilReady(int fd, short events, int timeoutMs) {
    pollfd p{fd, events, 0};
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        const int ready = poll(&p, 1, static_cast<int>(std::max<long>(left.count(), 0)));
        if (ready > 0) return true;
        if (ready == 0 || errno != EINTR) return false;
    }
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

void SetRtsBestEffort(int fd, bool on) {
    int rts = TIOCM_RTS;
    ioctl(fd, on ? TIOCMBIS : TIOCMBIC, &rts);
}

// Real UARTs deliver a short reply sooner with low latency; ptys and many adapters say ENOTTY.
void SetLowLatencyBestEffort(int fd) {
    serial_struct serial{};
    if (ioctl(fd, TIOCGSERIAL, &serial) == 0) {
        serial.flags |= ASYNC_LOW_LATENCY;
        ioctl(fd, TIOCSSERIAL, &serial);
    }
}

}  // namespace

SerialPortObject::~SerialPortObject() {
    {
        std::lock_guard lock(PendingPortsMutex());
        std::erase(PendingPorts(), this);
    }
    ioctl(fd, TIOCNXCL);
    flock(fd, LOCK_UN);
    close(fd);
}

int SerialPortObject::QueuedBytes() {
    if (heldEnd > heldStart) return static_cast<int>(heldEnd - heldStart);
    // Asking the device is as dear as reading it, and a read keeps what it finds.
    if (const ssize_t got = FillFromDevice(); got > 0) return static_cast<int>(got);
    if (errno == EAGAIN) return 0;
    int queued = 0;
    return ioctl(fd, FIONREAD, &queued) == 0 ? queued : -1;
}

DWORD SerialPortObject::TakeHeld(void* buffer, DWORD length) {
    const std::size_t count = std::min<std::size_t>(length, heldEnd - heldStart);
    std::memcpy(buffer, held.data() + heldStart, count);
    heldStart += count;
    if (heldStart == heldEnd) DropHeld();
    return static_cast<DWORD>(count);
}

ssize_t SerialPortObject::FillFromDevice() {
    const ssize_t got = ::read(fd, held.data(), held.size());
    heldStart = 0;
    heldEnd = got > 0 ? static_cast<std::size_t>(got) : 0;
    return got;
}

void SerialPortObject::MarkGone(int error) {
    if (gone) return;
    gone = true;
    goneError = error;
}

bool SerialPortObject::ReportGone() {
    if (goneReported) return false;
    goneReported = true;
    SetLastErrorFromErrno(goneError);
    return true;
}

void SerialPortObject::CompleteCommWait() {
    std::lock_guard lock(PendingPortsMutex());
    if (commWaitEvent == nullptr) return;
    SetEvent(commWaitEvent);
    commWaitEvent = nullptr;
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
        if (errno == ENOENT) {
            SetLastError(ERROR_FILE_NOT_FOUND);
        } else {
            SetLastErrorFromErrno(errno);
        }
        return INVALID_HANDLE_VALUE;
    }
    // Not shared: an advisory lock keeps out other programs that ask, TIOCEXCL those that don't.
    if (!isatty(fd) || flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int error = isatty(fd) ? EBUSY : ENOTTY;
        close(fd);
        SetLastErrorFromErrno(error);
        return INVALID_HANDLE_VALUE;
    }
    ioctl(fd, TIOCEXCL);
    return static_cast<KernelObject*>(new SerialPortObject(fd));
}

BOOL SetCommTimeouts(HANDLE handle, COMMTIMEOUTS* timeouts) {
    SerialPortObject* port = PortFromHandle(handle);
    if (port == nullptr) return FALSE;
    port->timeouts = *timeouts;
    return TRUE;
}

BOOL SetCommMask(HANDLE handle, DWORD eventMask) {
    SerialPortObject* port = PortFromHandle(handle);
    if (port == nullptr) return FALSE;
    port->eventMask = eventMask;
    return TRUE;
}

BOOL GetCommMask(HANDLE handle, DWORD* eventMask) {
    SerialPortObject* port = PortFromHandle(handle);
    if (port == nullptr) return FALSE;
    *eventMask = port->eventMask;
    return TRUE;
}

BOOL GetCommState(HANDLE handle, DCB* settings) {
    SerialPortObject* port = PortFromHandle(handle);
    if (port == nullptr) return FALSE;
    termios tio{};
    if (tcgetattr(port->fd, &tio) != 0) return FailWithErrno();
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
    SerialPortObject* port = PortFromHandle(handle);
    if (port == nullptr) return FALSE;
    const std::optional<speed_t> speed = SpeedFor(settings->BaudRate);
    if (!speed || settings->ByteSize < 5 || settings->ByteSize > 8 ||
        (settings->StopBits != ONESTOPBIT && settings->StopBits != TWOSTOPBITS)) {
        return FailWith(ERROR_INVALID_PARAMETER);
    }
    termios tio{};
    if (tcgetattr(port->fd, &tio) != 0) return FailWithErrno();
    // Raw: no echo, no line editing, no CR/LF translation, no XON/XOFF, no signal characters.
    cfmakeraw(&tio);
    tio.c_cflag &= ~(CSIZE | PARENB | PARODD | CSTOPB | CRTSCTS);
    constexpr tcflag_t kSizes[] = {CS5, CS6, CS7, CS8};
    tio.c_cflag |= kSizes[settings->ByteSize - 5] | CLOCAL | CREAD;
    if (settings->Parity == ODDPARITY) tio.c_cflag |= PARENB | PARODD;
    if (settings->Parity == EVENPARITY) tio.c_cflag |= PARENB;
    if (settings->StopBits == TWOSTOPBITS) tio.c_cflag |= CSTOPB;
    tio.c_iflag &= ~(IXON | IXOFF | IXANY);
    cfsetispeed(&tio, *speed);
    cfsetospeed(&tio, *speed);
    if (tcsetattr(port->fd, TCSANOW, &tio) != 0) return FailWithErrno();
    SetRtsBestEffort(port->fd, settings->fRtsControl == RTS_CONTROL_ENABLE);
    SetLowLatencyBestEffort(port->fd);
    return TRUE;
}

BOOL PurgeComm(HANDLE handle, DWORD flags) {
    SerialPortObject* port = PortFromHandle(handle);
    if (port == nullptr) return FALSE;
    if (flags & PURGE_RXABORT && port->pending == SerialPortObject::Pending::Read) {
        port->pending = SerialPortObject::Pending::None;
    }
    const bool input = flags & PURGE_RXCLEAR;
    const bool output = flags & PURGE_TXCLEAR;
    if (input) port->DropHeld();
    if (!input && !output) return TRUE;
    if (tcflush(port->fd, input && output ? TCIOFLUSH : (input ? TCIFLUSH : TCOFLUSH)) != 0) {
        return FailWithErrno();
    }
    return TRUE;
}

BOOL ClearCommError(HANDLE handle, DWORD* errors, COMSTAT* status) {
    SerialPortObject* port = PortFromHandle(handle);
    if (port == nullptr) return FALSE;
    if (errors != nullptr) *errors = 0;
    const int queued = port->QueuedBytes();
    if (queued < 0) return FailWithErrno();
    if (status != nullptr) status->cbInQue = static_cast<DWORD>(queued);
    return TRUE;
}

BOOL WaitCommEvent(HANDLE handle, DWORD* eventMask, OVERLAPPED* overlapped) {
    SerialPortObject* port = PortFromHandle(handle);
    if (port == nullptr) return FALSE;
    if (port->gone) {
        // Nothing will ever arrive: the wait stays pending without watching the device.
        ResetOverlapped(overlapped);
        if (port->ReportGone()) return FALSE;
        return FailWith(ERROR_IO_PENDING);
    }
    // Like every overlapped call, a wait resets its event unless it completes at once (which
    // would set it again): a completion signalled earlier (a write's, say) must not wake the
    // next wait.
    if (port->QueuedBytes() > 0) {
        port->CompleteCommWait();
        if (eventMask != nullptr) *eventMask = EV_RXCHAR & port->eventMask;
        SignalOverlapped(overlapped);
        return TRUE;
    }
    ResetOverlapped(overlapped);
    if (port->commWaitEvent != nullptr) return FailWith(ERROR_INVALID_PARAMETER);
    std::lock_guard lock(PendingPortsMutex());
    port->commWaitEvent = overlapped->hEvent;
    PendingPorts().push_back(port);
    return FailWith(ERROR_IO_PENDING);
}

BOOL ReadFile(HANDLE handle, LPVOID buffer, DWORD length, DWORD* read, OVERLAPPED* overlapped) {
    SerialPortObject* port = PortFromHandle(handle);
    if (port == nullptr) return FALSE;
    if (read != nullptr) *read = 0;
    port->lastTransferred = 0;
    if (port->gone) return FailGone(*port, port->goneError, overlapped);
    // The event is reset unless the read completes at once and so sets it again.
    const ssize_t got = port->heldEnd > port->heldStart ? 1 : port->FillFromDevice();
    if (got > 0) {
        port->lastTransferred = port->TakeHeld(buffer, length);
        if (read != nullptr) *read = port->lastTransferred;
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
    port->pending = SerialPortObject::Pending::Read;
    port->pendingBuffer = buffer;
    port->lastTransferred = length;  // the length asked for, until the read completes
    return FailWith(ERROR_IO_PENDING);
}

BOOL WriteFile(HANDLE handle, LPCVOID buffer, DWORD length, DWORD* written,
               OVERLAPPED* overlapped) {
    SerialPortObject* port = PortFromHandle(handle);
    if (port == nullptr) return FALSE;
    if (written != nullptr) *written = 0;
    port->lastTransferred = 0;
    if (port->gone) return FailGone(*port, port->goneError, overlapped);
    const int timeoutMs = static_cast<int>(port->timeouts.WriteTotalTimeoutConstant +
                                           port->timeouts.WriteTotalTimeoutMultiplier * length);
    const auto* bytes = static_cast<const BYTE*>(buffer);
    DWORD done = 0;
    // Completes at once: a reply-sized request fits the tty's queue; a full queue is waited
    // for up to the write timeout, after which the write ends short, as a port's would.
    while (done < length) {
        const ssize_t put = ::write(port->fd, bytes + done, length - done);
        if (put > 0) {
            done += static_cast<DWORD>(put);
            continue;
        }
        if (put < 0 && IsDeviceGoneError(errno)) return FailGone(*port, errno, overlapped);
        if (put < 0 && errno != EAGAIN && errno != EINTR) {
            SetLastErrorFromErrno(errno);
            ResetOverlapped(overlapped);
            return FALSE;
        }
        if (errno == EAGAIN && !WaitUntilReady(port->fd, POLLOUT, timeoutMs)) break;
    }
    port->lastTransferred = done;
    if (written != nullptr) *written = done;
    SignalOverlapped(overlapped);
    return TRUE;
}

BOOL GetOverlappedResult(HANDLE handle, OVERLAPPED* overlapped, DWORD* transferred, BOOL) {
    SerialPortObject* port = PortFromHandle(handle);
    if (port == nullptr) return FALSE;
    const SerialPortObject::Pending pending = port->pending;
    port->pending = SerialPortObject::Pending::None;
    if (transferred != nullptr) *transferred = 0;
    if (pending == SerialPortObject::Pending::Read) {
        const DWORD length = port->lastTransferred;
        const int timeoutMs = static_cast<int>(port->timeouts.ReadTotalTimeoutConstant +
                                               port->timeouts.ReadTotalTimeoutMultiplier * length);
        port->lastTransferred = 0;
        // A read that times out completes with nothing, as a port's read does.
        if (WaitUntilReady(port->fd, POLLIN, timeoutMs)) {
            const ssize_t got = port->FillFromDevice();
            if (got == 0 || (got < 0 && IsDeviceGoneError(errno))) {
                port->MarkGone(got == 0 ? EIO : errno);
                if (port->ReportGone()) return FALSE;
            } else if (got < 0 && errno != EAGAIN) {
                return FailWithErrno();
            } else if (got > 0) {
                port->lastTransferred = port->TakeHeld(port->pendingBuffer, length);
            }
        }
    }
    if (transferred != nullptr) *transferred = port->lastTransferred;
    SignalOverlapped(overlapped);
    return TRUE;
}
