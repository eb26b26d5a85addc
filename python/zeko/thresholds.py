"""The alarm thresholds as the dialog accepts them, and their parameter values."""

from __future__ import annotations

import math
import numbers
import struct

from . import single

VIBRATION_MAX = 1.0  # G
MOVEMENT_MAX = 200  # degrees/s


def vibration_value(g: float) -> int:
    """The parameter value for a vibration threshold of `g` G: its single-precision bit pattern.

    Accepts 0 to 1 G as the sensor stores it, in single precision; refuses zero (also negative
    zero, or a value that rounds to zero) with ValueError, as the dialog does.
    """
    if isinstance(g, bool) or not isinstance(g, numbers.Real):
        raise ValueError(f"a vibration threshold is a number of G, not {g!r}")
    try:
        value = float(g)
    except OverflowError as error:
        raise ValueError(f"{g!r} G is beyond single precision") from error
    if math.isnan(value):
        raise ValueError("a vibration threshold is a number, not NaN")
    pattern = single.bits_of(value)
    stored = single.exact(struct.pack(">i", pattern))
    if not 0.0 <= stored <= VIBRATION_MAX:
        raise ValueError(f"a vibration threshold lies between 0 and {VIBRATION_MAX:g} G, not {g!r}")
    if stored == 0.0:
        raise ValueError("an alarm threshold cannot be 0")
    return pattern


def movement_value(degrees_per_second: int) -> int:
    """The parameter value for a movement threshold: whole degrees/s, 1 to 200."""
    if isinstance(degrees_per_second, bool) or not isinstance(
        degrees_per_second, numbers.Integral
    ):
        raise ValueError(
            f"a movement threshold is a whole number of degrees/s, not {degrees_per_second!r}"
        )
    if not 0 <= degrees_per_second <= MOVEMENT_MAX:
        raise ValueError(
            f"a movement threshold lies between 0 and {MOVEMENT_MAX} degrees/s, "
            f"not {degrees_per_second}"
        )
    if degrees_per_second == 0:
        raise ValueError("an alarm threshold cannot be 0")
    return int(degrees_per_second)
