// GetCommState and SetCommState: a device control block read from and applied to the tty's
// termios settings, raw 8N1 (or as the block says), with the modem lines set best-effort.
#include <linux/serial.h>
#include <sys/ioctl.h>
#include <termios.h>

#include <optional>

#include "serial.h"
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

// A failure here is only traced: ptys and many adapters have no modem lines to drive.
void SetModemLineBestEffort(const SerialPortObject& port, int line, bool on, const char* call) {
    if (ioctl(port.m_fd, on ? TIOCMBIS : TIOCMBIC, &line) != 0) port.FailCall(call);
}

// Real UARTs deliver a short reply sooner with low latency; ptys and many adapters say ENOTTY.
void SetLowLatencyBestEffort(const SerialPortObject& port) {
    serial_struct serial{};
    if (ioctl(port.m_fd, TIOCGSERIAL, &serial) != 0) {
        port.FailCall("ioctl(TIOCGSERIAL)");
        return;
    }
    serial.flags |= ASYNC_LOW_LATENCY;
    if (ioctl(port.m_fd, TIOCSSERIAL, &serial) != 0) port.FailCall("ioctl(TIOCSSERIAL)");
}

}  // namespace

BOOL GetCommState(HANDLE handle, DCB* settings) {
    SerialPortObject* port = CheckedObject<SerialPortObject>(handle);
    if (port == nullptr) return FALSE;
    termios tio{};
    if (tcgetattr(port->m_fd, &tio) != 0) return port->FailCall("tcgetattr");
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
    if (tcgetattr(port->m_fd, &tio) != 0) return port->FailCall("tcgetattr");
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
    if (tcsetattr(port->m_fd, TCSANOW, &tio) != 0) return port->FailCall("tcsetattr");
    SetModemLineBestEffort(*port, TIOCM_DTR, settings->fDtrControl == DTR_CONTROL_ENABLE,
                           "ioctl(DTR)");
    if (!hardwareFlow) {
        SetModemLineBestEffort(*port, TIOCM_RTS, settings->fRtsControl == RTS_CONTROL_ENABLE,
                               "ioctl(RTS)");
    }
    SetLowLatencyBestEffort(*port);
    return TRUE;
}
