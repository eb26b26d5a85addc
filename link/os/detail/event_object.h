// The object behind an event handle.
#pragma once

#include <mutex>

#include "kernel_object.h"

// The state lives in a flag that the checks read without a system call. The eventfd that poll()
// sleeps on mirrors it only while a wait is sleeping on the event: setting, resetting and taking
// an event nobody sleeps on cost no system call, and a sleeping waiter is still woken.
struct EventObject : KernelObject {
    EventObject(int eventFd, bool manual, bool initialState)
        : fd(eventFd), manualReset(manual), signalled(initialState) {}
    ~EventObject() override;

    bool IsSignalled();
    void Signal();
    // Resets the event; true when it was signalled, so that of several threads waiting on an
    // auto-reset event exactly one takes it.
    bool Consume();

    // A wait about to sleep on fd, and done sleeping.
    void AddSleeper();
    void RemoveSleeper();

    const int fd;
    const bool manualReset;

private:
    void SetFd();

    std::mutex mutex;
    bool signalled;
    bool fdSet = false;
    int sleepers = 0;
};
