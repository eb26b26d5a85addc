// The object behind a serial-port handle: the open device, its read buffer and the rules for a
// device that is gone. Shared by the serial calls and the waits; its members are public to them
// only.
#pragma once

#include <sys/types.h>

#include <array>
#include <cstddef>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "exclusive_open.h"
#include "serial.h"

struct SerialPortObject : KernelObject {
    static constexpr Kind kKind = Kind::SerialPort;

    SerialPortObject(const ExclusiveOpen& opened, std::string devicePath)
        : KernelObject(kKind), m_open(opened), m_fd(opened.fd), m_path(std::move(devicePath)) {}
    ~SerialPortObject() override;  // gives up the exclusive open

    // A system call on the port failed: errno becomes the last error (and a trace line).
    BOOL FailCall(const char* call) const;

    enum class Pending { None, Read, FailedTransfer };

    // Bytes this layer holds, after one read of the device when it held none; -1 when the query
    // failed (errno set). Nonzero means a read completes at once.
    int QueuedBytes();

    // Reads arrive through a buffer that one read() per wake-up fills, so a caller that takes
    // one byte at a time costs one system call per burst, not per byte.
    // Moves up to `length` held bytes to `buffer` and returns how many.
    DWORD TakeHeld(void* buffer, DWORD length);
    // One read() of the device into the empty buffer: its result, errno set when negative.
    ssize_t FillFromDevice();
    void DropHeld() { m_heldStart = m_heldEnd = 0; }

    // The device went away (unplugged, the pty's other side closed). The first operation that
    // meets this reports the error; later ones stay silent and simply get nothing, so one lost
    // device costs one error box, never a chain of them.
    void MarkGone(int error);
    // True when this call is the one that reports the loss (last error set to its cause).
    bool ReportGone();

    void CompleteCommWait();

    static constexpr std::size_t kHeldCapacity = 4096;

    const ExclusiveOpen m_open;
    const int m_fd;
    const std::string m_path;  // the device, as the trace names it
    std::array<BYTE, kHeldCapacity> m_held{};
    std::size_t m_heldStart = 0;
    std::size_t m_heldEnd = 0;
    DWORD m_eventMask = 0;
    COMMTIMEOUTS m_timeouts{};
    HANDLE m_commWaitEvent = nullptr;  // event of a comm wait still pending
    Pending m_pending = Pending::None;
    LPVOID m_pendingBuffer = nullptr;
    DWORD m_pendingLength = 0;    // what the pending read asked for
    DWORD m_lastTransferred = 0;  // what the last transfer moved
    bool m_gone = false;
    int m_goneError = 0;
    bool m_goneReported = false;
};

// The ports with a comm wait pending, for the waits to watch.
std::mutex& PendingPortsMutex();
std::vector<SerialPortObject*>& PendingPorts();
