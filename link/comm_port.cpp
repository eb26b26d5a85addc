#include "comm_port.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <initializer_list>

#include "error_box.h"
#include "os/platform.h"

namespace {

constexpr DWORD kPortTimeout = 1000;  // all five port time-outs
constexpr char kEventCharacter = 'q';
constexpr DWORD kPurgeAll = PURGE_TXABORT | PURGE_RXABORT | PURGE_TXCLEAR | PURGE_RXCLEAR;
constexpr std::size_t kNameBufferSize = 50;
constexpr std::size_t kErrorTextSize = 200;
constexpr int kStopIndex = 0;
constexpr int kPortIndex = 1;
constexpr int kSendIndex = 2;

// Binary 8N1 as the definition says, and nothing between the bytes and the line: no software or
// hardware flow control (a reply byte 0x13 would stop the port's output for good), no byte
// replaced or dropped, DTR and RTS on. Set field by field, since another program (or a tty's
// default IXON) may have left any of them otherwise.
void MakeLineTransparent(DCB* settings) {
    settings->fBinary = TRUE;
    settings->fOutX = FALSE;
    settings->fInX = FALSE;
    settings->fOutxCtsFlow = FALSE;
    settings->fOutxDsrFlow = FALSE;
    settings->fDsrSensitivity = FALSE;
    settings->fNull = FALSE;
    settings->fErrorChar = FALSE;
    settings->fAbortOnError = FALSE;
    settings->fDtrControl = DTR_CONTROL_ENABLE;
    settings->fRtsControl = RTS_CONTROL_ENABLE;
}

HANDLE RenewEvent(HANDLE old) {
    if (old != nullptr) {
        ResetEvent(old);
        CloseHandle(old);
    }
    return CreateEventA(nullptr, TRUE, FALSE, nullptr);
}

}  // namespace

CCommPort::CCommPort()
    : m_nWriteLength(1),
      m_hPort(nullptr),
      m_replyBuffer{},
      m_bReceiving(1),
      m_bFixedLength(0),
      m_nReplyLength(0),
      m_hSendEvent(nullptr),
      m_hStopEvent(nullptr),
      m_hWaitSet{},
      m_overlapped{},
      m_timeouts{},
      m_lineSettings{},
      m_nPort(0),
      m_pWriteBuffer(nullptr),
      m_nWriteCapacity(0),
      m_nReceived(0),
      m_dwReplyTimeout(kDefaultReplyTimeout),
      m_bRequestSent(false),
      m_transferOverlapped{},
      m_dwCommEvents(0),
      m_bPortFailed(false),
      m_bCommWaitPending(false),
      m_bDeviceGone(false),
      m_bErrorBoxes(true) {
    // Once for the port's life: Windows leaves initialising a critical section twice undefined.
    InitializeCriticalSection(&m_csPort);
}

CCommPort::~CCommPort() {
    if (m_hStopEvent != nullptr) SetEvent(m_hStopEvent);
    delete[] m_pWriteBuffer;
    ClosePort();
    for (HANDLE event :
         {m_overlapped.hEvent, m_transferOverlapped.hEvent, m_hSendEvent, m_hStopEvent}) {
        if (event != nullptr) CloseHandle(event);
    }
    DeleteCriticalSection(&m_csPort);
}

int CCommPort::Open(int port, DWORD baudRate, char parity, int dataBits, int stopBits,
                    DWORD eventMask, int writeBufferSize) {
    // The old port (if any) goes before its events are replaced, so no wait is left on them.
    ClosePort();
    m_overlapped.hEvent = RenewEvent(m_overlapped.hEvent);
    m_transferOverlapped.hEvent = RenewEvent(m_transferOverlapped.hEvent);
    m_hSendEvent = RenewEvent(m_hSendEvent);
    m_hStopEvent = RenewEvent(m_hStopEvent);
    m_hWaitSet[kStopIndex] = m_hStopEvent;
    m_hWaitSet[kPortIndex] = m_overlapped.hEvent;
    m_hWaitSet[kSendIndex] = m_hSendEvent;

    delete[] m_pWriteBuffer;
    m_nWriteCapacity = writeBufferSize > 0 ? static_cast<DWORD>(writeBufferSize) : 0;
    m_pWriteBuffer = m_nWriteCapacity > 0 ? new BYTE[m_nWriteCapacity] : nullptr;
    m_nPort = port;

    char name[kNameBufferSize];
    char definition[kNameBufferSize];
    EnterCriticalSection(&m_csPort);
    std::snprintf(name, sizeof name, kPortNameFormat, port);
    std::snprintf(definition, sizeof definition, "baud=%d parity=%c data=%d stop=%d",
                  static_cast<int>(baudRate), parity, dataBits, stopBits);

    HANDLE handle = CreateFileA(name, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                FILE_FLAG_OVERLAPPED, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        LeaveCriticalSection(&m_csPort);
        return 0;
    }
    m_hPort = handle;
    m_bPortFailed = false;
    m_bDeviceGone = false;

    m_timeouts = {kPortTimeout, kPortTimeout, kPortTimeout, kPortTimeout, kPortTimeout};
    // The first configuration step that fails is named in the box; the rest are skipped.
    if (!SetCommTimeouts(m_hPort, &m_timeouts)) {
        ShowPortError("SetCommTimeouts()", GetLastError());
    } else if (!SetCommMask(m_hPort, eventMask)) {
        ShowPortError("SetCommMask()", GetLastError());
    } else if (!GetCommState(m_hPort, &m_lineSettings)) {
        ShowPortError("GetCommState()", GetLastError());
    } else {
        m_lineSettings.EvtChar = kEventCharacter;
        if (!BuildCommDCBA(definition, &m_lineSettings)) {
            ShowPortError("BuildCommDCB()", GetLastError());
        } else {
            // After the definition, so whatever its parser sets, what goes out is transparent.
            MakeLineTransparent(&m_lineSettings);
            if (!SetCommState(m_hPort, &m_lineSettings)) {
                ShowPortError("SetCommState()", GetLastError());
            }
        }
    }
    PurgeComm(m_hPort, kPurgeAll);
    LeaveCriticalSection(&m_csPort);
    return 1;
}

void CCommPort::Close() {
    if (m_hStopEvent != nullptr) SetEvent(m_hStopEvent);
    ClosePort();
}

// A comm wait still pending ends when the mask changes. Until it has ended, the system may still
// write its result into m_overlapped and m_dwCommEvents and signal the event, which the next Open
// (or the destructor) replaces: the handle goes only once the wait is over, with no I/O left on
// it.
void CCommPort::ClosePort() {
    const bool waitPending = m_bCommWaitPending;
    m_bCommWaitPending = false;
    if (m_hPort == nullptr) return;
    SetCommMask(m_hPort, 0);
    if (waitPending) WaitForSingleObject(m_overlapped.hEvent, kPortTimeout);
    CloseHandle(m_hPort);
    m_hPort = nullptr;
}

void CCommPort::SetReplyTimeout(DWORD milliseconds) { m_dwReplyTimeout = milliseconds; }

void CCommPort::Interrupt() {
    if (m_hStopEvent != nullptr) SetEvent(m_hStopEvent);
}

// A port that is not open (never opened, failed to open, closed) refuses the exchange at once:
// waiting on it could bring nothing but an error box per wait slice.
BYTE* CCommPort::ExchangeText(const char* request) {
    if (m_hPort == nullptr || !QueueText(request)) return RefuseRequest();
    return WaitForReply();
}

BYTE* CCommPort::ExchangeBytes(const BYTE* request, int length) {
    if (m_hPort == nullptr || !QueueBytes(request, length)) return RefuseRequest();
    return WaitForReply();
}

bool CCommPort::QueueText(const char* request) {
    const std::size_t length = std::strlen(request);
    if (m_pWriteBuffer == nullptr || length + 1 > m_nWriteCapacity) return false;
    m_bReceiving = 1;
    m_bRequestSent = false;
    m_nReceived = 0;
    std::memcpy(m_pWriteBuffer, request, length + 1);
    m_nWriteLength = static_cast<int>(length);
    SetEvent(m_hSendEvent);
    return true;
}

bool CCommPort::QueueBytes(const BYTE* request, int length) {
    if (m_pWriteBuffer == nullptr || length < 0 || static_cast<DWORD>(length) > m_nWriteCapacity) {
        return false;
    }
    m_bReceiving = 1;
    m_bRequestSent = false;
    m_nReceived = 0;
    std::memcpy(m_pWriteBuffer, request, static_cast<std::size_t>(length));
    m_nWriteLength = length;
    SetEvent(m_hSendEvent);
    return true;
}

// A request that does not fit the write buffer (or comes before any Open) is never sent, so no
// reply can come: it ends at once as an exchange without reply.
BYTE* CCommPort::RefuseRequest() {
    EndReply();
    return m_replyBuffer;
}

void CCommPort::EndReply() {
    std::memcpy(m_replyBuffer, kTimeoutMarker, sizeof kTimeoutMarker - 1);
    m_bReceiving = 0;
}

BYTE* CCommPort::WaitForReply() {
    const DWORD start = timeGetTime();
    while (m_bReceiving) {
        if (m_hPort == nullptr) {
            // Let go (device gone, or interrupted): nothing can come.
            EndReply();
            break;
        }
        if (m_bPortFailed) {
            // A port that failed brings nothing until it is opened again: rather than asking it
            // over and over (each failure at once, a busy loop), the exchange sleeps out its time.
            SleepOut(start);
        } else if (m_bCommWaitPending) {
            // Asked again while its wait is pending, the system refuses and marks the pending
            // wait's OVERLAPPED as failed: the wait goes on as it is.
            ServeWaitSet(start);
        } else if (WaitCommEvent(m_hPort, &m_dwCommEvents, &m_overlapped)) {
            COMSTAT status{};
            DWORD errors = 0;
            ClearCommError(m_hPort, &errors, &status);
            if (status.cbInQue == 0) continue;
            ServeWaitSet(start);
        } else {
            const DWORD error = GetLastError();
            if (error != ERROR_IO_PENDING && error != ERROR_INVALID_PARAMETER) {
                ReportPortFailure("WaitCommEvent()");
            } else {
                m_bCommWaitPending = error == ERROR_IO_PENDING;
                ServeWaitSet(start);
            }
        }

        if (Overdue(start)) EndReply();
    }
    return m_replyBuffer;
}

void CCommPort::ServeWaitSet(DWORD start) {
    // A slice never reaches more than a tick past the reply timeout: one begun just before it
    // would otherwise add up to half a slice to every attempt at a silent device.
    const DWORD elapsed = timeGetTime() - start;
    const DWORD slice =
        elapsed < m_dwReplyTimeout ? std::min(kWaitSlice, m_dwReplyTimeout - elapsed + 1) : 1;
    const DWORD signalled = WaitForMultipleObjects(3, m_hWaitSet, FALSE, slice);
    if (signalled == WAIT_OBJECT_0 + kStopIndex) {
        // A closed port brings nothing: the exchange ends now.
        ClosePort();
    } else if (signalled == WAIT_OBJECT_0 + kPortIndex) {
        // The comm wait ends in failure when the device goes while it is pending.
        m_bCommWaitPending = false;
        DWORD ignored = 0;
        if (!GetOverlappedResult(m_hPort, &m_overlapped, &ignored, FALSE) &&
            GetLastError() != ERROR_IO_INCOMPLETE) {
            ReportPortFailure("WaitCommEvent()");
            return;
        }
        DWORD watched = 0;
        GetCommMask(m_hPort, &watched);
        if (watched & EV_RXCHAR) DrainInput(start);
        // Input that was waiting before the request is read first, and then the request
        // goes out at once: a port that keeps sending must not hold it back.
        if (!m_bRequestSent && !m_bPortFailed) SendQueued();
    } else if (signalled == WAIT_OBJECT_0 + kSendIndex) {
        SendQueued();
    } else if (signalled == WAIT_FAILED) {
        Sleep(kWaitSlice);  // a wait that cannot wait must not turn into a busy loop
    }
}

// An interruption ends the sleep.
void CCommPort::SleepOut(DWORD start) {
    const DWORD elapsed = timeGetTime() - start;
    if (elapsed > m_dwReplyTimeout) return;
    if (WaitForSingleObject(m_hStopEvent, m_dwReplyTimeout - elapsed + 1) == WAIT_OBJECT_0) {
        ClosePort();
    }
}

void CCommPort::ReportPortFailure(const char* step) {
    if (m_bPortFailed) return;
    m_bPortFailed = true;
    const DWORD error = GetLastError();
    if (DeviceGoneError(error)) {
        ClosePort();
        m_bDeviceGone = true;
    }
    ShowPortError(step, error);
}

bool CCommPort::Overdue(DWORD start) const { return timeGetTime() - start > m_dwReplyTimeout; }

void CCommPort::SendQueued() {
    ResetEvent(m_hSendEvent);
    // Whatever the write brings, this exchange's request has had its turn.
    m_bRequestSent = true;
    EnterCriticalSection(&m_csPort);
    m_transferOverlapped.Offset = 0;
    m_transferOverlapped.OffsetHigh = 0;
    PurgeComm(m_hPort, kPurgeAll);
    // Bytes drained before the request left belong to no reply to it: like the queue, they go,
    // so that stray bytes never shift this reply and every one after it.
    m_nReceived = 0;
    DWORD written = 0;
    if (!WriteFile(m_hPort, m_pWriteBuffer, static_cast<DWORD>(m_nWriteLength), &written,
                   &m_transferOverlapped)) {
        if (GetLastError() != ERROR_IO_PENDING) {
            ReportPortFailure("WriteFile()");
            LeaveCriticalSection(&m_csPort);
            return;
        }
        GetOverlappedResult(m_hPort, &m_transferOverlapped, &written, TRUE);
    }
    LeaveCriticalSection(&m_csPort);
}

DWORD CCommPort::QueuedInput() {
    COMSTAT status{};
    DWORD errors = 0;
    EnterCriticalSection(&m_csPort);
    ClearCommError(m_hPort, &errors, &status);
    LeaveCriticalSection(&m_csPort);
    return status.cbInQue;
}

// Reads what is queued. Bytes that were waiting before the request was written are read and
// dropped: they belong to an earlier exchange (a reply that came after its call gave up) and
// must neither end this one nor shift its reply. A pass ends at the exchange's deadline, and
// once the reply has ended (or before the request is sent) it reads no more than was queued
// when it began, so a device that sends without pause can neither hold the call nor keep it
// reading.
void CCommPort::DrainInput(DWORD start) {
    const DWORD queuedAtStart = QueuedInput();
    DWORD taken = 0;
    for (DWORD queued = queuedAtStart; queued > 0; queued = QueuedInput()) {
        BYTE byte = 0;
        DWORD got = 0;
        EnterCriticalSection(&m_csPort);
        if (!ReadFile(m_hPort, &byte, 1, &got, &m_transferOverlapped)) {
            if (GetLastError() != ERROR_IO_PENDING) {
                ReportPortFailure("ReadFile()");
            } else if (!GetOverlappedResult(m_hPort, &m_transferOverlapped, &got, TRUE)) {
                ReportPortFailure("GetOverlappedResults() in ReadFile()");
            }
        }
        LeaveCriticalSection(&m_csPort);
        if (m_bPortFailed) return;
        // A read that failed brought no byte, so it stores nothing.
        if (got == 1 && m_bRequestSent) StoreByte(byte);
        ++taken;

        const bool replyOpen = m_bReceiving && m_bRequestSent;
        if (Overdue(start) || (taken >= queuedAtStart && !replyOpen)) return;
    }
}

void CCommPort::StoreByte(BYTE byte) {
    if (m_nReceived >= kReplyBufferSize) {
        // Overflow: the byte is dropped and the reply ends, marked by ";" at its start.
        m_bReceiving = 0;
        m_nReceived = 0;
        m_replyBuffer[0] = kTerminator;
        return;
    }
    m_replyBuffer[m_nReceived++] = byte;
    const bool complete = m_bFixedLength == 1 ? m_nReceived == m_nReplyLength : byte == kTerminator;
    if (complete) {
        m_bReceiving = 0;
        m_nReceived = 0;
    }
}

void CCommPort::ShowPortError(const char* step, DWORD error) {
    if (!m_bErrorBoxes) return;
    char* systemText = nullptr;
    FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_ALLOCATE_BUFFER, nullptr, error,
                   0x400, reinterpret_cast<LPSTR>(&systemText), 0, nullptr);
    // The text is cut at the buffer's end, never written past it.
    char text[kErrorTextSize];
    std::snprintf(text, sizeof text,
                  "WARNING:  %s Failed with the following error: \n%s\nPort: %d\n", step,
                  systemText != nullptr ? systemText : "", m_nPort);
    ShowErrorBox(text, "Application Error");
    LocalFree(systemText);
}
