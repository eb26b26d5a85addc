"""The sensor's status block, decoded as the dialog shows it."""

from __future__ import annotations

import math
import struct
from dataclasses import dataclass

from . import contract, single

# Vibration, movement, temperature, flags, learned vibration, learned movement, record count.
_LAYOUT = struct.Struct(">4shBB4shB")

# Shown in place of a vibration the sensor reports as negative or not a number.
_VIBRATION_FLOOR = 0.01


@dataclass(frozen=True)
class Alarms:
    """The five alarm flags, True while the sensor signals that alarm."""

    vibration: bool
    movement: bool
    temperature: bool
    tamper: bool
    voltage: bool


@dataclass(frozen=True)
class Status:
    """One reading of the sensor's status block.

    vibration: the current vibration, G; a negative or not-a-number reading comes out as 0.01,
        as the dialog shows it.
    movement: the current movement, degrees/s (signed 16-bit).
    temperature: degrees C, 0 to 255.
    alarms: the five alarm flags.
    learned_vibration, learned_movement: the thresholds the sensor's learning has found, G and
        degrees/s.
    record_count: the number of alarm records the sensor holds, 0 to 255.

    Floats are the shortest decimals that stand for the sensor's single-precision values.
    """

    vibration: float
    movement: int
    temperature: int
    alarms: Alarms
    learned_vibration: float
    learned_movement: int
    record_count: int


def decode_status(block: bytes) -> Status:
    """Decodes the 15 data bytes of the status block (block command 10)."""
    if len(block) != contract.STATUS_LENGTH:
        raise ValueError(f"a status block has {contract.STATUS_LENGTH} bytes, not {len(block)}")
    vibration, movement, temperature, flags, learned, learned_movement, count = _LAYOUT.unpack(
        block
    )
    reading = single.decode(vibration)
    # Negative zero is not below zero and stays.
    if math.isnan(reading) or reading < 0.0:
        reading = _VIBRATION_FLOOR
    return Status(
        vibration=reading,
        movement=movement,
        temperature=temperature,
        alarms=Alarms(
            vibration=bool(flags & contract.FLAG_VIBRATION),
            movement=bool(flags & contract.FLAG_MOVEMENT),
            temperature=bool(flags & contract.FLAG_TEMPERATURE),
            tamper=bool(flags & contract.FLAG_TAMPER),
            voltage=bool(flags & contract.FLAG_VOLTAGE),
        ),
        learned_vibration=single.decode(learned),
        learned_movement=learned_movement,
        record_count=count,
    )
