// The Win32 serial-port calls the port class uses, on a POSIX tty: raw 8N1 (or as the line
// settings say), non-blocking, opened exclusively. "COM<n>" names resolve through port_names.h.
#pragma once

#include "kernel_object.h"

using ULONG_PTR = std::uintptr_t;

struct OVERLAPPED {
    ULONG_PTR Internal = 0;
    ULONG_PTR InternalHigh = 0;
    DWORD Offset = 0;
    DWORD OffsetHigh = 0;
    HANDLE hEvent = nullptr;
};

struct COMMTIMEOUTS {
    DWORD ReadIntervalTimeout = 0;
    DWORD ReadTotalTimeoutMultiplier = 0;
    DWORD ReadTotalTimeoutConstant = 0;
    DWORD WriteTotalTimeoutMultiplier = 0;
    DWORD WriteTotalTimeoutConstant = 0;
};

// The line settings this layer knows, named as in Win32's device control block (whose flags are
// bit fields there). This layer has no DSR flow control and keeps the tty raw, so that no byte is
// dropped or replaced: GetCommState reports those settings off and SetCommState refuses them.
struct DCB {
    DWORD DCBlength = sizeof(DCB);
    DWORD BaudRate = 0;
    DWORD fBinary = 1;
    DWORD fParity = 0;
    DWORD fOutxCtsFlow = 0;
    DWORD fOutxDsrFlow = 0;
    DWORD fDtrControl = 0;
    DWORD fDsrSensitivity = 0;
    DWORD fOutX = 0;
    DWORD fInX = 0;
    DWORD fErrorChar = 0;
    DWORD fNull = 0;
    DWORD fRtsControl = 0;
    DWORD fAbortOnError = 0;
    BYTE ByteSize = 8;
    BYTE Parity = 0;
    BYTE StopBits = 0;
    char EvtChar = 0;
};

// Of Win32's status only the input count, which is all the port class asks for: nonzero when a
// read completes at once (see SerialPortObject::QueuedBytes).
struct COMSTAT {
    DWORD cbInQue = 0;
};

inline constexpr DWORD GENERIC_READ = 0x80000000;
inline constexpr DWORD GENERIC_WRITE = 0x40000000;
inline constexpr DWORD OPEN_EXISTING = 3;
inline constexpr DWORD FILE_FLAG_OVERLAPPED = 0x40000000;

inline constexpr DWORD EV_RXCHAR = 0x0001;
inline constexpr DWORD EV_RXFLAG = 0x0002;

inline constexpr DWORD PURGE_TXABORT = 0x0001;
inline constexpr DWORD PURGE_RXABORT = 0x0002;
inline constexpr DWORD PURGE_TXCLEAR = 0x0004;
inline constexpr DWORD PURGE_RXCLEAR = 0x0008;

inline constexpr DWORD DTR_CONTROL_ENABLE = 1;
inline constexpr DWORD RTS_CONTROL_ENABLE = 1;
inline constexpr DWORD RTS_CONTROL_HANDSHAKE = 2;

inline constexpr BYTE NOPARITY = 0;
inline constexpr BYTE ODDPARITY = 1;
inline constexpr BYTE EVENPARITY = 2;
inline constexpr BYTE ONESTOPBIT = 0;
inline constexpr BYTE TWOSTOPBITS = 2;

HANDLE CreateFileA(LPCSTR name, DWORD access, DWORD shareMode, void* security, DWORD creation,
                   DWORD flags, HANDLE templateFile);
BOOL SetCommTimeouts(HANDLE port, COMMTIMEOUTS* timeouts);
BOOL SetCommMask(HANDLE port, DWORD eventMask);
BOOL GetCommMask(HANDLE port, DWORD* eventMask);
BOOL GetCommState(HANDLE port, DCB* settings);
BOOL BuildCommDCBA(LPCSTR definition, DCB* settings);
BOOL SetCommState(HANDLE port, DCB* settings);
BOOL PurgeComm(HANDLE port, DWORD flags);
BOOL ClearCommError(HANDLE port, DWORD* errors, COMSTAT* status);

// Completes at once (and signals the overlapped event) when this layer already holds bytes;
// otherwise stays pending until WaitForMultipleObjects sees the port readable. A wait started
// while one is pending fails with ERROR_INVALID_PARAMETER and the pending one goes on.
BOOL WaitCommEvent(HANDLE port, DWORD* eventMask, OVERLAPPED* overlapped);
BOOL ReadFile(HANDLE port, LPVOID buffer, DWORD length, DWORD* read, OVERLAPPED* overlapped);
BOOL WriteFile(HANDLE port, LPCVOID buffer, DWORD length, DWORD* written, OVERLAPPED* overlapped);
BOOL GetOverlappedResult(HANDLE port, OVERLAPPED* overlapped, DWORD* transferred, BOOL wait);
