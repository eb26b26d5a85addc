#include "comm_port.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <initializer_list>
#include <string>

#include "error_box.h"
#include "os/platform.h"

namespace {

constexpr DWORD kPortTimeout = 1000;  // all five port time-outs
constexpr DWORD kReadChunk = 256;     // bytes one read takes at most
constexpr char kEventCharacter = 'q';
constexpr DWORD kPurgeAll = PURGE_TXABORT | PURGE_RXABORT | PURGE_TXCLEAR | PURGE_RXCLEAR;
constexpr std::size_t kNameBufferSize = 50;
constexpr BYTE kTerminator = ';';
constexpr char kTimeoutMarker[] = "TIMEOUT";  // seven bytes, no NUL in the buffer
constexpr std::size_t kMarkerPrefixLength = 4;
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

// The port lock, held for a scope.
class PortLock {
public:
    explicit PortLock(CRITICAL_SECTION& section) : m_section(section) {
        EnterCriticalSection(&m_section);
    }
    ~PortLock() { LeaveCriticalSection(&m_section); }
    PortLock(const PortLock&) = delete;
    PortLock& operator=(const PortLock&) = delete;

private:
    CRITICAL_SECTION& m_section;
};

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
      m_bTimedOut(false),
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
    RenewEvents();
    RenewWriteBuffer(writeBufferSize);
    m_nPort = port;

    PortLock lock(m_csPort);
    if (!OpenHandle(port)) return 0;
    if (const char* failed = Configure(baudRate, parity, dataBits, stopBits, eventMask)) {
        ShowPortError(failed, GetLastError());
    }
    PurgeComm(m_hPort, kPurgeAll);
    return 1;
}

void CCommPort::RenewEvents() {
    m_overlapped.hEvent = RenewEvent(m_overlapped.hEvent);
    m_transferOverlapped.hEvent = RenewEvent(m_transferOverlapped.hEvent);
    m_hSendEvent = RenewEvent(m_hSendEvent);
    m_hStopEvent = RenewEvent(m_hStopEvent);
    m_hWaitSet[kStopIndex] = m_hStopEvent;
    m_hWaitSet[kPortIndex] = m_overlapped.hEvent;
    m_hWaitSet[kSendIndex] = m_hSendEvent;
}

void CCommPort::RenewWriteBuffer(int size) {
    delete[] m_pWriteBuffer;
    m_nWriteCapacity = size > 0 ? static_cast<DWORD>(size) : 0;
    m_pWriteBuffer = m_nWriteCapacity > 0 ? new BYTE[m_nWriteCapacity] : nullptr;
}

bool CCommPort::OpenHandle(int port) {
    char name[kNameBufferSize];
    std::snprintf(name, sizeof name, kPortNameFormat, port);
    HANDLE handle = CreateFileA(name, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                FILE_FLAG_OVERLAPPED, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return false;
    m_hPort = handle;
    m_bPortFailed = false;
    m_bDeviceGone = false;
    return true;
}

// The steps in order: the first that fails is returned for the box to name, and the rest are
// skipped.
const char* CCommPort::Configure(DWORD baudRate, char parity, int dataBits, int stopBits,
                                 DWORD eventMask) {
    m_timeouts = {kPortTimeout, kPortTimeout, kPortTimeout, kPortTimeout, kPortTimeout};
    if (!SetCommTimeouts(m_hPort, &m_timeouts)) return "SetCommTimeouts()";
    if (!SetCommMask(m_hPort, eventMask)) return "SetCommMask()";
    if (!GetCommState(m_hPort, &m_lineSettings)) return "GetCommState()";
    m_lineSettings.EvtChar = kEventCharacter;
    char definition[kNameBufferSize];
    std::snprintf(definition, sizeof definition, "baud=%d parity=%c data=%d stop=%d",
                  static_cast<int>(baudRate), parity, dataBits, stopBits);
    if (!BuildCommDCBA(definition, &m_lineSettings)) return "BuildCommDCB()";
    // After the definition, so whatever its parser sets, what goes out is transparent.
    MakeLineTransparent(&m_lineSettings);
    if (!SetCommState(m_hPort, &m_lineSettings)) return "SetCommState()";
    return nullptr;
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

void CCommPort::SetTerminatorMode() { m_bFixedLength = 0; }

void CCommPort::SetFixedLengthMode(BYTE replyLength) {
    m_bFixedLength = 1;
    m_nReplyLength = replyLength;
}

// A port that is not open (never opened, failed to open, closed) refuses the exchange at once:
// waiting on it could bring nothing but an error box per wait slice.
CCommPort::Reply CCommPort::ExchangeText(const char* request) {
    if (!IsOpen() || !QueueText(request)) return RefuseRequest();
    return WaitForReply();
}

CCommPort::Reply CCommPort::ExchangeBytes(const BYTE* request, int length) {
    if (!IsOpen() || !QueueBytes(request, length)) return RefuseRequest();
    return WaitForReply();
}

// A text is copied with its NUL, which is not sent.
bool CCommPort::QueueText(const char* request) {
    const std::size_t length = std::strlen(request);
    return Stage(request, length + 1, length);
}

bool CCommPort::QueueBytes(const BYTE* request, int length) {
    if (length < 0) return false;
    return Stage(request, static_cast<std::size_t>(length), static_cast<std::size_t>(length));
}

bool CCommPort::Stage(const void* request, std::size_t copied, std::size_t sent) {
    if (m_pWriteBuffer == nullptr || copied > m_nWriteCapacity) return false;
    BeginReply();
    m_bRequestSent = false;
    if (copied > 0) std::memcpy(m_pWriteBuffer, request, copied);
    m_nWriteLength = static_cast<int>(sent);
    SetEvent(m_hSendEvent);
    return true;
}

void CCommPort::BeginReply() {
    m_bReceiving = 1;
    m_nReceived = 0;
    m_bTimedOut = false;
}

// A request that does not fit the write buffer (or comes before any Open) is never sent, so no
// reply can come: it ends at once as an exchange without reply.
CCommPort::Reply CCommPort::RefuseRequest() {
    EndReply();
    return Result();
}

void CCommPort::EndReply() {
    std::memcpy(m_replyBuffer, kTimeoutMarker, sizeof kTimeoutMarker - 1);
    m_bReceiving = 0;
    m_bTimedOut = true;
}

// A reply that begins with the marker's first four bytes counts as no reply, as it always has:
// the sensor never sends one, and callers have always read those bytes as the marker.
CCommPort::Reply CCommPort::Result() const {
    if (m_bTimedOut || std::memcmp(m_replyBuffer, kTimeoutMarker, kMarkerPrefixLength) == 0) {
        return std::nullopt;
    }
    return std::span<const BYTE, kReplyBufferSize>(m_replyBuffer);
}

CCommPort::Reply CCommPort::WaitForReply() {
    const DWORD start = timeGetTime();
    while (m_bReceiving) {
        if (!IsOpen()) {
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
    return Result();
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
        ServePortEvent(start);
    } else if (signalled == WAIT_OBJECT_0 + kSendIndex) {
        SendQueued();
    } else if (signalled == WAIT_FAILED) {
        Sleep(kWaitSlice);  // a wait that cannot wait must not turn into a busy loop
    }
}

void CCommPort::ServePortEvent(DWORD start) {
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
    // Input that was waiting before the request is read first, and then the request goes out at
    // once: a port that keeps sending must not hold it back.
    if (!m_bRequestSent && !m_bPortFailed) SendQueued();
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
    if (LastErrorMeansDeviceGone(error)) {
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
    PortLock lock(m_csPort);
    m_transferOverlapped.Offset = 0;
    m_transferOverlapped.OffsetHigh = 0;
    PurgeComm(m_hPort, kPurgeAll);
    // Bytes drained before the request left belong to no reply to it: like the queue, they go,
    // so that stray bytes never shift this reply and every one after it.
    m_nReceived = 0;
    DWORD written = 0;
    if (WriteFile(m_hPort, m_pWriteBuffer, static_cast<DWORD>(m_nWriteLength), &written,
                  &m_transferOverlapped)) {
        return;
    }
    if (GetLastError() != ERROR_IO_PENDING) {
        ReportPortFailure("WriteFile()");
        return;
    }
    GetOverlappedResult(m_hPort, &m_transferOverlapped, &written, TRUE);
}

DWORD CCommPort::QueuedInput() {
    COMSTAT status{};
    DWORD errors = 0;
    PortLock lock(m_csPort);
    ClearCommError(m_hPort, &errors, &status);
    return status.cbInQue;
}

// Reads what is queued, in as few reads as it takes (under Wine each read is a round trip to
// its server, and byte by byte a reply took long enough under load to miss its timeout). Bytes
// that were waiting before the request was written are read and dropped: they belong to an
// earlier exchange (a reply that came after its call gave up) and must neither end this one nor
// shift its reply. Each byte counts as if read alone: a pass ends at the exchange's deadline, and
// once the reply has ended (or before the request is sent) it takes no more than was queued when
// it began, so a device that sends without pause can neither hold the call nor keep it reading.
// Bytes of a read beyond that point are dropped, as the next request's purge would drop them.
void CCommPort::DrainInput(DWORD start) {
    const DWORD queuedAtStart = QueuedInput();
    DWORD taken = 0;
    for (DWORD queued = queuedAtStart; queued > 0; queued = QueuedInput()) {
        BYTE chunk[kReadChunk];
        const DWORD got = ReadQueued(chunk, std::min<DWORD>(queued, kReadChunk));
        if (m_bPortFailed || got == 0) return;
        for (DWORD i = 0; i < got; ++i) {
            if (m_bRequestSent) StoreByte(chunk[i]);
            ++taken;
            const bool replyOpen = m_bReceiving && m_bRequestSent;
            if (Overdue(start) || (taken >= queuedAtStart && !replyOpen)) return;
        }
    }
}

DWORD CCommPort::ReadQueued(BYTE* buffer, DWORD length) {
    PortLock lock(m_csPort);
    DWORD got = 0;
    if (ReadFile(m_hPort, buffer, length, &got, &m_transferOverlapped)) return got;
    if (GetLastError() != ERROR_IO_PENDING) {
        ReportPortFailure("ReadFile()");
    } else if (!GetOverlappedResult(m_hPort, &m_transferOverlapped, &got, TRUE)) {
        ReportPortFailure("GetOverlappedResults() in ReadFile()");
    }
    return got;
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
    // Composed whole: the system's words are UTF-8, and a cut could split a character.
    const std::string text = std::string("WARNING:  ") + step +
                             " Failed with the following error: \n" + SystemErrorWords(error) +
                             "\nPort: " + std::to_string(m_nPort) + "\n";
    ShowErrorBox(text.c_str(), "Application Error");
}
