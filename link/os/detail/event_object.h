// The object behind an event handle.
#pragma once

#include "kernel_object.h"

struct EventObject : KernelObject {
    EventObject(int eventFd, bool manual) : fd(eventFd), manualReset(manual) {}
    ~EventObject() override;

    bool IsSignalled() const;
    void Signal() const;
    // Resets the event; true when it was signalled, so that of several threads waiting on an
    // auto-reset event exactly one takes it.
    bool Consume() const;

    const int fd;
    const bool manualReset;
};
