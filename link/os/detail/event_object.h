// The object behind an event handle.
#pragma once

#include <mutex>

#include "kernel_object.h"

// The state is kept twice: in a flag that the checks read without a system call, and in the
// eventfd that poll() sleeps on. Both change together under the event's mutex, so the eventfd is
// readable exactly while the flag is set, and setting or resetting an event already in that
// state costs nothing.
struct EventObject : KernelObject {
    EventObject(int eventFd, bool manual, bool initialState)
        : fd(eventFd), manualReset(manual), signalled(initialState) {}
    ~EventObject() override;

    bool IsSignalled();
    void Signal();
    // Resets the event; true when it was signalled, so that of several threads waiting on an
    // auto-reset event exactly one takes it.
    bool Consume();

    const int fd;
    const bool manualReset;

private:
    std::mutex mutex;
    bool signalled;
};
