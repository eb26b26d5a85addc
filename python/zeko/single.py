"""Single-precision floats as the sensor sends them: the big-endian bit pattern of a 32-bit word."""

import math
import struct

_FORMAT = ">f"
_MAX_DIGITS = 9  # enough for any single-precision number to come back unchanged


def exact(bits: bytes) -> float:
    """The single-precision number whose four big-endian bytes are `bits`, exactly."""
    value: float = struct.unpack(_FORMAT, bits)[0]
    return value


def shortest(value: float) -> float:
    """The decimal with the fewest digits that is the same single-precision number as `value`.

    The sensor's 0.29 arrives as 0.2899999916...; this gives back 0.29, which rounds to the very
    same bits when it is written again.
    """
    if not math.isfinite(value):
        return value
    bits = struct.pack(_FORMAT, value)
    for digits in range(1, _MAX_DIGITS):
        candidate = float(f"{value:.{digits}g}")
        if struct.pack(_FORMAT, candidate) == bits:
            return candidate
    return value


def decode(bits: bytes) -> float:
    """Four big-endian bytes as the shortest decimal for their single-precision number."""
    return shortest(exact(bits))


def bits_of(value: float) -> int:
    """The bit pattern of `value` rounded to single precision, as a signed 32-bit integer.

    Raises ValueError for a value beyond the single-precision range.
    """
    try:
        packed = struct.pack(_FORMAT, value)
    except OverflowError as error:
        raise ValueError(f"{value!r} is beyond single precision") from error
    pattern: int = struct.unpack(">i", packed)[0]
    return pattern

