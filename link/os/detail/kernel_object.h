// What a HANDLE points at in this layer: an event or an open serial port.
#pragma once

#include "win32_types.h"

struct KernelObject {
    virtual ~KernelObject() = default;
};

// Casts a handle to the object kind expected, or null for a null, invalid or other handle.
template <typename T>
T* ObjectFromHandle(HANDLE handle) {
    if (handle == nullptr || handle == INVALID_HANDLE_VALUE) return nullptr;
    return dynamic_cast<T*>(static_cast<KernelObject*>(handle));
}

BOOL CloseHandle(HANDLE handle);
