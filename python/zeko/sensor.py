"""The sensor on its serial port, reached through libzeko."""

from __future__ import annotations

import ctypes
import numbers
import threading
import weakref
from types import TracebackType
from typing import Iterator, Literal, Mapping, Optional, Type

from . import contract, single, thresholds
from .errors import ZekoError
from .library import library
from .record import Record, decode_record
from .status import Status, decode_status

Kind = Literal["vibration", "movement"]
Action = Literal["start", "save", "cancel"]

_LEARN_PARAMETERS: Mapping[str, int] = {
    "vibration": contract.PARAM_LEARN_VIBRATION,
    "movement": contract.PARAM_LEARN_MOVEMENT,
}
_LEARN_VALUES: Mapping[str, int] = {
    "start": contract.LEARN_START,
    "save": contract.LEARN_SAVE,
    "cancel": contract.LEARN_CANCEL,
}

_PARAMETERS = range(0, 2**31)
# A parameter value: signed 32-bit, or an unsigned 32-bit pattern such as a float's bits.
_VALUES = range(-(2**31), 2**32)
_WORD = 2**32
_SIGN_BIT = 2**31

# libzeko keeps one port for the whole process; this is the closer of the Sensor holding it.
_guard = threading.Lock()
_holder: Optional[weakref.finalize] = None


def _whole(value: object, allowed: range, what: str) -> int:
    """`value` as an int within `allowed`, else ValueError."""
    if isinstance(value, bool) or not isinstance(value, numbers.Integral) or value not in allowed:
        raise ValueError(f"{what} is a whole number from {allowed.start} to {allowed.stop - 1}, "
                         f"not {value!r}")
    return int(value)


def _signed32(value: int) -> int:
    """A 32-bit pattern (or a value already signed) as a signed 32-bit number."""
    value %= _WORD
    return value - _WORD if value >= _SIGN_BIT else value


def _choice(table: Mapping[str, int], name: object, what: str) -> int:
    if not isinstance(name, str) or name not in table:
        raise ValueError(f"{what} is one of {', '.join(table)}, not {name!r}")
    return table[name]


def _connect(lib: ctypes.CDLL, port: Optional[int]) -> int:
    """Opens `port`, or the first of COM1 to COM16 whose device has the sensor's identity."""
    ports = contract.SCAN_PORTS if port is None else (port,)
    result = 0
    for number in ports:
        result = lib.ZEKO_initial(number, contract.IDENTITY, contract.BAUD_RATE)
        if result == 0:
            return number
    # A device with another identity is left open by the library: nothing stays held.
    lib.ZEKO_close()
    context = f"COM{port}" if port is not None else "no sensor on COM1 to COM16; COM16"
    raise ZekoError(result, "ZEKO_initial", context)


class Sensor:
    """The alarm sensor on a serial port.

    `Sensor()` tries COM1 to COM16 in turn, as the KQ_Tools dialog does, and keeps the first port
    whose device answers with the sensor's identity (19281); `Sensor(3)` opens COM3 only. COM
    names map to devices as the library maps them ($KQ_PORTS_DIR, else /dev/ttyUSB0 and on).
    A port with no sensor raises ZekoError here, in the constructor; a port that exists but does
    not answer costs the scan a few seconds.

    libzeko drives one port per process: while a Sensor is open, opening another raises
    RuntimeError. Close it with close(), or use it as a context manager.

    Every call waits for the sensor's reply (up to about half a second, a few seconds when the
    link is busy). A failed call raises ZekoError; after one with name "ZEKO_LINK_LOST" every call
    fails with "ZEKO_NOT_READY" until the sensor is closed and opened again. Bad arguments raise
    ValueError before anything is sent; calls on a closed sensor raise ValueError too.

    After a loss: when the adapter is pulled (or the line hangs up) the library lets the port go
    at once, so the re-plugged adapter keeps its device name, and calls fail at once instead of
    waiting out their time; a sensor that only falls silent costs each call its timeout. Either
    way, close the Sensor and open a new one until that succeeds, say every 2 seconds; without a
    port number the new one finds the sensor under another COM name too:

        while True:
            try:
                sensor = Sensor()
                break
            except ZekoError:
                time.sleep(2)
    """

    def __init__(self, port: Optional[int] = None) -> None:
        """Opens COM`port`, or scans COM1 to COM16 when `port` is None."""
        global _holder
        if port is not None:
            port = _whole(port, contract.PORT_NUMBERS, "a port")
        self._lib = library()
        with _guard:
            if _holder is not None and _holder.alive:
                raise RuntimeError(
                    "libzeko drives one port per process: close the open Sensor first"
                )
            self._port = _connect(self._lib, port)
            self._closer = weakref.finalize(self, self._lib.ZEKO_close)
            _holder = self._closer

    @property
    def port(self) -> int:
        """The port number: 3 for COM3."""
        return self._port

    @property
    def closed(self) -> bool:
        """True once the sensor's port has been closed."""
        return not self._closer.alive

    def close(self) -> None:
        """Closes the port. Closing again does nothing."""
        self._closer()

    def __enter__(self) -> Sensor:
        return self

    def __exit__(
        self,
        kind: Optional[Type[BaseException]],
        error: Optional[BaseException],
        trace: Optional[TracebackType],
    ) -> None:
        self.close()

    def __repr__(self) -> str:
        return f"<zeko.Sensor COM{self._port}{' closed' if self.closed else ''}>"

    def status(self) -> Status:
        """Reads the status block: readings, alarm flags, learned thresholds, record count."""
        return decode_status(self._block(contract.BLOCK_STATUS, b"", contract.STATUS_LENGTH))

    def get(self, param: int) -> int:
        """Reads parameter `param` as the sensor holds it."""
        return self._get(_whole(param, _PARAMETERS, "a parameter"))

    def set(self, param: int, value: int) -> None:
        """Writes `value` to parameter `param` as the sensor takes it: 32 bits, given signed or as
        an unsigned pattern. A value the sensor refuses raises ZekoError with its code."""
        self._set(
            _whole(param, _PARAMETERS, "a parameter"),
            _whole(value, _VALUES, "a parameter value"),
        )

    @property
    def vibration_threshold(self) -> float:
        """The vibration alarm threshold, G.

        Set it to a number from 0 to 1 (zero refused), stored in single precision as the dialog
        stores it; other values raise ValueError and nothing is sent.
        """
        pattern = self._get(contract.PARAM_VIBRATION_ALARM) % _WORD
        return single.decode(pattern.to_bytes(4, "big"))

    @vibration_threshold.setter
    def vibration_threshold(self, g: float) -> None:
        self._set(contract.PARAM_VIBRATION_ALARM, thresholds.vibration_value(g))

    @property
    def movement_threshold(self) -> int:
        """The movement alarm threshold, whole degrees/s.

        Set it to 1 to 200; other values (0 too) raise ValueError and nothing is sent.
        """
        return _signed32(self._get(contract.PARAM_MOVEMENT_ALARM))

    @movement_threshold.setter
    def movement_threshold(self, degrees_per_second: int) -> None:
        self._set(contract.PARAM_MOVEMENT_ALARM, thresholds.movement_value(degrees_per_second))

    def learn(self, kind: Kind, action: Action) -> None:
        """Drives the sensor's threshold learning for `kind` ("vibration" or "movement").

        "start" begins learning (status().learned_vibration / learned_movement follow it),
        "save" makes the learned value the alarm threshold, "cancel" drops it. The sensor may
        refuse, for example a save while not learning: ZekoError with its code.
        """
        parameter = _choice(_LEARN_PARAMETERS, kind, "a learning kind")
        value = _choice(_LEARN_VALUES, action, "a learning action")
        self._set(parameter, value)

    def history(self) -> Iterator[Record]:
        """Yields every stored alarm record, the oldest (number 1) first.

        The number of records is taken from the status block when iteration starts; each record
        is read from the sensor as it is yielded.
        """
        count = self.status().record_count
        for number in range(1, count + 1):
            data = self._block(contract.BLOCK_ALARM_RECORD, bytes([number]), contract.RECORD_LENGTH)
            yield decode_record(number, data)

    def clear_history(self) -> None:
        """Erases the sensor's stored alarm records."""
        self._set(contract.PARAM_CLEAR_HISTORY, contract.COMMAND_VALUE)

    def _check_open(self) -> None:
        if self.closed:
            raise ValueError("the sensor is closed")

    def _get(self, param: int) -> int:
        self._check_open()
        value = ctypes.c_long()
        result = self._lib.ZEKO_get(param, ctypes.byref(value))
        if result != 0:
            raise ZekoError(result, "ZEKO_get", f"reading parameter {param}")
        return value.value

    def _set(self, param: int, value: int) -> None:
        self._check_open()
        # As a signed 32-bit number, so the bits are the same whatever the width of a C long.
        signed = _signed32(value)
        result = self._lib.ZEKO_set(param, signed)
        if result != 0:
            raise ZekoError(result, "ZEKO_set", f"writing {signed} to parameter {param}")

    def _block(self, command: int, payload: bytes, length: int) -> bytes:
        self._check_open()
        request = (ctypes.c_ubyte * max(len(payload), 1)).from_buffer_copy(payload or b"\0")
        reply = (ctypes.c_ubyte * length)()
        result = self._lib.ZEKO_super_command(command, len(payload), length, request, reply)
        if result != 0:
            raise ZekoError(result, "ZEKO_super_command", f"block command {command}")
        return bytes(reply)
