// The object behind a serial-port handle, shared by the serial calls and the waits.
#pragma once

#include <mutex>
#include <vector>

#include "serial.h"

struct SerialPortObject : KernelObject {
    explicit SerialPortObject(int portFd) : fd(portFd) {}
    ~SerialPortObject() override;

    enum class Pending { None, Read, FailedTransfer };

    // Bytes waiting in the input queue, or -1 when the query failed (errno set).
    int QueuedBytes() const;

    // The device went away (unplugged, the pty's other side closed). The first operation that
    // meets this reports the error; later ones stay silent and simply get nothing, so one lost
    // device costs one error box, never a chain of them.
    void MarkGone(int error);
    // True when this call is the one that reports the loss (last error set to its cause).
    bool ReportGone();

    void CompleteCommWait();

    const int fd;
    DWORD eventMask = 0;
    COMMTIMEOUTS timeouts{};
    HANDLE commWaitEvent = nullptr;  // event of a comm wait still pending
    Pending pending = Pending::None;
    LPVOID pendingBuffer = nullptr;
    DWORD lastTransferred = 0;
    bool gone = false;
    int goneError = 0;
    bool goneReported = false;
};

// The ports with a comm wait pending, for the waits to watch.
std::mutex& PendingPortsMutex();
std::vector<SerialPortObject*>& PendingPorts();

// errno values that mean the device has gone.
bool IsDeviceGoneError(int error);
