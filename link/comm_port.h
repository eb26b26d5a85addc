// The serial port beneath the link: opens a COM port, stages one request at a time and then,
// on the caller's thread, runs the event wait loop that sends it and gathers the reply, until the
// reply is complete (terminator ";" or a byte count) or the reply timeout has passed.
//
// Its state is private, read and set through the functions below. Private members rather than a
// separate private class (QSerialPort's d-pointer): the class never leaves the link, so there is
// no binary interface to keep stable behind a pointer, and the port's fields keep their names
// where a reader of the class looks for them.
#pragma once

#include <atomic>
#include <cstddef>
#include <optional>
#include <span>

#include "os/platform.h"

class CCommPort {
public:
    static constexpr int kReplyBufferSize = 100;
    static constexpr DWORD kDefaultReplyTimeout = 1000;
    static constexpr DWORD kWaitSlice = 500;

    // What an exchange brought back: the receive buffer, which begins with the reply, or nothing
    // when no complete reply came in time (a reply that begins with "TIME" counts as none, as it
    // always has).
    using Reply = std::optional<std::span<const BYTE, kReplyBufferSize>>;

    CCommPort();
    virtual ~CCommPort();
    CCommPort(const CCommPort&) = delete;
    CCommPort& operator=(const CCommPort&) = delete;

    // 1 when the port was opened (even if a configuration step failed), 0 when it could not be.
    int Open(int port, DWORD baudRate, char parity, int dataBits, int stopBits, DWORD eventMask,
             int writeBufferSize);
    void Close();
    bool IsOpen() const { return m_hPort != nullptr; }
    void SetReplyTimeout(DWORD milliseconds);
    DWORD ReplyTimeout() const { return m_dwReplyTimeout; }
    // From another thread: the exchange running (or the next one) ends at once and the port
    // closes. Safe once Open has returned.
    void Interrupt();
    // True from the moment the port was let go because its device went away until the next Open.
    bool DeviceGone() const { return m_bDeviceGone; }
    // A port asked from a worker thread fails quietly: its caller reads the failure from the
    // result, and no box is shown off the host's own thread.
    void SetErrorBoxes(bool shown) { m_bErrorBoxes = shown; }

    // The receive mode, chosen before each exchange: a reply ends at ";", or after a byte count.
    void SetTerminatorMode();
    void SetFixedLengthMode(BYTE replyLength);
    bool FixedLength() const { return m_bFixedLength == 1; }

    Reply ExchangeText(const char* request);
    Reply ExchangeBytes(const BYTE* request, int length);

    // The receive buffer as the last exchange left it. After an exchange without reply it
    // begins with "TIMEOUT" over whatever had come, as it always has.
    const BYTE* ReplyBuffer() const { return m_replyBuffer; }
    bool Receiving() const { return m_bReceiving != 0; }
    int Received() const { return m_nReceived; }
    // A comm wait started in an exchange and still pending, and the event it signals.
    bool CommWaitPending() const { return m_bCommWaitPending; }
    HANDLE PortEvent() const { return m_overlapped.hEvent; }

    // Framing, without a line: a reply begins, and each received byte is stored and may end it
    // where the receive mode says. Public for the fuzz target that feeds it any bytes.
    void BeginReply();
    void StoreByte(BYTE byte);

private:
    void RenewEvents();
    void RenewWriteBuffer(int size);
    bool OpenHandle(int port);
    const char* Configure(DWORD baudRate, char parity, int dataBits, int stopBits, DWORD eventMask);
    bool QueueText(const char* request);
    bool QueueBytes(const BYTE* request, int length);
    bool Stage(const void* request, std::size_t copied, std::size_t sent);
    Reply WaitForReply();
    Reply RefuseRequest();
    Reply Result() const;
    bool Overdue(DWORD start) const;
    void SendQueued();
    DWORD QueuedInput();
    void DrainInput(DWORD start);
    DWORD ReadQueued(BYTE* buffer, DWORD length);
    void ClosePort();
    void ServeWaitSet(DWORD start);
    void ServePortEvent(DWORD start);
    void SleepOut(DWORD start);
    // The first failure of the port in an exchange since it was opened is shown; the device has
    // failed (gone, most often) and later ones would only repeat it, box after box.
    // A device that is gone is let go at once, before the box: a re-plugged adapter then finds
    // its name free, and the exchange ends without waiting out its time.
    void ReportPortFailure(const char* step);
    void ShowPortError(const char* step, DWORD error);
    void EndReply();

    // Fields in the order the port has always had them.
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
    bool m_bTimedOut;     // the exchange ended without a complete reply
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
