// What a HANDLE points at in this layer: an event or an open serial port.
#pragma once

#include "error_report.h"
#include "win32_types.h"

struct KernelObject {
    enum class Kind { Event, SerialPort };

    explicit KernelObject(Kind kind) : m_kind(kind) {}
    virtual ~KernelObject() = default;

    const Kind m_kind;
};

// The one checked lookup at the top of every call that takes a handle: the object of the kind
// expected, or null with ERROR_INVALID_HANDLE for a null, invalid or other handle. A tag, not a
// dynamic_cast: it runs for every one-byte read of a reply.
template <typename T>
T* CheckedObject(HANDLE handle) {
    if (handle == nullptr || handle == INVALID_HANDLE_VALUE) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    auto* object = static_cast<KernelObject*>(handle);
    if constexpr (requires { T::kKind; }) {
        if (object->m_kind != T::kKind) {
            SetLastError(ERROR_INVALID_HANDLE);
            return nullptr;
        }
    }
    return static_cast<T*>(object);
}

inline BOOL CloseHandle(HANDLE handle) {
    auto* object = CheckedObject<KernelObject>(handle);
    if (object == nullptr) return FALSE;
    delete object;
    return TRUE;
}
