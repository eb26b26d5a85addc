// The serial port beneath the link: opens a COM port, stages one request at a time and then,
// on the caller's thread, runs the event wait loop that sends it and gathers the reply, until the
// reply is complete (terminator ";" or a byte count) or the reply timeout has passed.
#pragma once

#include <atomic>
#include <cstring>

#include "os/platform.h"

class CCommPort {
public:
    static constexpr int kReplyBufferSize = 100;
    static constexpr BYTE kTerminator = ';';
    static constexpr char kTimeoutMarker[] = "TIMEOUT";  // seven bytes, no NUL in the buffer
    static constexpr DWORD kDefaultReplyTimeout = 1000;

    // Callers tell "no reply in time" by the marker's first four bytes.
    static bool TimedOut(const BYTE* reply) { return std::memcmp(reply, kTimeoutMarker, 4) == 0; }
    static constexpr DWORD kWaitSlice = 500;

    CCommPort();
    virtual ~CCommPort();
    CCommPort(const CCommPort&) = delete;
    CCommPort& operator=(const CCommPort&) = delete;

    // 1 when the port was opened (even if a configuration step failed), 0 when it could not be.
    int Open(int port, DWORD baudRate, char parity, int dataBits, int stopBits, DWORD eventMask,
             int writeBufferSize);
    void Close();
    void SetReplyTimeout(DWORD milliseconds);
    // From another thread: the exchange running (or the next one) ends at once and the port
    // closes. Safe once Open has returned.
    void Interrupt();
    // True from the moment the port was let go because its device went away until the next Open.
    bool DeviceGone() const { return m_bDeviceGone; }
    // A port asked from a worker thread fails quietly: its caller reads the failure from the
    // result, and no box is shown off the host's own thread.
    void SetErrorBoxes(bool shown) { m_bErrorBoxes = shown; }

    // Each returns the receive buffer, which begins with the TIMEOUT marker when no complete
    // reply came in time.
    BYTE* ExchangeText(const char* request);
    BYTE* ExchangeBytes(const BYTE* request, int length);

private:
    bool QueueText(const char* request);
    bool QueueBytes(const BYTE* request, int length);
    BYTE* WaitForReply();
    BYTE* RefuseRequest();
    bool Overdue(DWORD start) const;
    void SendQueued();
    DWORD QueuedInput();
    void DrainInput(DWORD start);
    void ClosePort();
    void ServeWaitSet(DWORD start);
    void SleepOut(DWORD start);
    // The first failure of the port in an exchange since it was opened is shown; the device has
    // failed (gone, most often) and later ones would only repeat it, box after box.
    // A device that is gone is let go at once, before the box: a re-plugged adapter then finds
    // its name free, and the exchange ends without waiting out its time.
    void ReportPortFailure(const char* step);
    void ShowPortError(const char* step, DWORD error);
    void EndReply();

public:
    // Framing: stores one received byte and ends the reply where the receive mode says.
    void StoreByte(BYTE byte);

    // Fields in the order the port has always had them; the callers write the receive mode
    // (m_bFixedLength, m_nReplyLength) before each exchange.
    int m_nWriteLength;
    HANDLE m_hPort;
    BYTE m_replyBuffer[kReplyBufferSize];
    BYTE m_bReceiving;
    BYTE m_bFixedLength;  // 1 = the reply ends after m_nReplyLength bytes, else at ";"
    BYTE m_nReplyLength;
    CRITICAL_SECTION m_csPort;
    HANDLE m_hSendEvent;
    HANDLE m_hStopEvent;
    HANDLE m_hWaitSet[3];     // stop, port, send: the lowest signalled wins
    OVERLAPPED m_overlapped;  // the comm event wait's; its event is the port's in the wait set
    COMMTIMEOUTS m_timeouts;
    DCB m_lineSettings;
    int m_nPort;
    BYTE* m_pWriteBuffer;
    DWORD m_nWriteCapacity;
    int m_nReceived;
    DWORD m_dwReplyTimeout;
    bool m_bRequestSent;  // the staged request has been written (or its write failed)
    // A comm wait stays pending while reads and writes come and go, and when it completes the
    // system writes its events and its status: so it has an OVERLAPPED of its own, and its event
    // mask lives as long as the port, never on a stack that has moved on.
    OVERLAPPED m_transferOverlapped;
    DWORD m_dwCommEvents;
    bool m_bPortFailed;       // a wait, read or write failed since the port was opened
    bool m_bCommWaitPending;  // a comm wait was started and has not been served yet
    std::atomic<bool> m_bDeviceGone;
    bool m_bErrorBoxes;
};
