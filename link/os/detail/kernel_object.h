// What a HANDLE points at in this layer: an event or an open serial port.
#pragma once

#include "error_report.h"
#include "win32_types.h"

struct KernelObject {
    virtual ~KernelObject() = default;
};

// The one checked lookup at the top of every call that takes a handle: the object of the kind
// expected, or null with ERROR_INVALID_HANDLE for a null, invalid or other handle.
template <typename T>
T* CheckedObject(HANDLE handle) {
    T* object = handle == nullptr || handle == INVALID_HANDLE_VALUE
                    ? nullptr
                    : dynamic_cast<T*>(static_cast<KernelObject*>(handle));
    if (object == nullptr) SetLastError(ERROR_INVALID_HANDLE);
    return object;
}

inline BOOL CloseHandle(HANDLE handle) {
    auto* object = CheckedObject<KernelObject>(handle);
    if (object == nullptr) return FALSE;
    delete object;
    return TRUE;
}
