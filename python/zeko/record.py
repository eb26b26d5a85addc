"""One stored alarm record, decoded as the dialog's history view shows it."""

from __future__ import annotations

import struct
from dataclasses import dataclass
from typing import Optional

from . import contract, single

# Leading word (not interpreted), type flags, first value, second value.
_LAYOUT = struct.Struct(">II4s4s")

# Type flag bits 0 to 5 in order; the lowest one set names the record's type.
TYPES = ("vibration", "movement", "over_temperature", "tamper", "low_voltage", "energy")

# Per type: whether the record shows its first value (the threshold) and its second (the value
# that raised the alarm), and the dialog's history line. The runs of blanks line the values up
# under the view's column header "序号       报警类型       设置阀值       报警值".
_ROWS = {
    "vibration": (True, True, "%3d        振动          %6.2f        %6.2f"),
    "movement": (True, True, "%3d        移动          %6.2f        %6.2f"),
    "over_temperature": (False, False, "%3d        超温            NULL          NULL"),
    "tamper": (False, False, "%3d        防拆            NULL          NULL"),
    "low_voltage": (True, True, "%3d        低压          %6.2f        %6.2f"),
    "energy": (True, False, "%3d        能量累计      %6.2f           NULL"),
}


@dataclass(frozen=True)
class Record:
    """An alarm record: its number (from 1, the oldest first), its type and its values.

    `type` is one of TYPES, or None when the record carries none of the six type bits (the
    dialog shows an empty line for it). `threshold` is the alarm threshold at the time and
    `value` the reading that raised the alarm; each is None where the dialog shows "NULL".
    Floats are the shortest decimals that stand for the sensor's single-precision values.
    """

    number: int
    type: Optional[str]
    threshold: Optional[float]
    value: Optional[float]

    @property
    def line(self) -> str:
        """The record as a line of the dialog's history view, without a line end."""
        if self.type is None:
            return ""
        shows_threshold, shows_value, row = _ROWS[self.type]
        values = [self.threshold] if shows_threshold else []
        values += [self.value] if shows_value else []
        # The exact single-precision values, so the rounding to two decimals is the dialog's.
        exact = [single.exact(struct.pack(">f", v)) for v in values]
        return row % (self.number, *exact)


def decode_record(number: int, data: bytes) -> Record:
    """Decodes record `number` from the 16 data bytes of block command 11."""
    if len(data) != contract.RECORD_LENGTH:
        raise ValueError(f"an alarm record has {contract.RECORD_LENGTH} bytes, not {len(data)}")
    _, flags, first, second = _LAYOUT.unpack(data)
    kind = next((name for bit, name in enumerate(TYPES) if flags & (1 << bit)), None)
    if kind is None:
        return Record(number, None, None, None)
    shows_threshold, shows_value, _ = _ROWS[kind]
    return Record(
        number=number,
        type=kind,
        threshold=single.decode(first) if shows_threshold else None,
        value=single.decode(second) if shows_value else None,
    )
