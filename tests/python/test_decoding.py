"""Status blocks and alarm records decoded from their bytes, as the dialog decodes them."""

import math
import struct

import pytest
from zeko.record import decode_record
from zeko.status import decode_status

import zeko


def block(vibration=b"\x3f\x00\x00\x00", movement=b"\x00\x00", temperature=25, flags=0,
          learned=b"\x00\x00\x00\x00", learned_movement=b"\x00\x00", count=0):
    return vibration + movement + bytes([temperature, flags]) + learned + learned_movement + \
        bytes([count])


def record(flags, first=0.0, second=0.0):
    return struct.pack(">IIff", 99, flags, first, second)


NO_ALARMS = zeko.Alarms(False, False, False, False, False)


@pytest.mark.parametrize(
    "data, field, expected",
    [
        (block(vibration=b"\xbf\x80\x00\x00"), "vibration", 0.01),  # -1.0 shows as 0.01
        (block(vibration=b"\x7f\xc0\x00\x00"), "vibration", 0.01),  # not a number, too
        (block(vibration=b"\x00\x00\x00\x00"), "vibration", 0.0),
        (block(vibration=struct.pack(">f", 0.29)), "vibration", 0.29),
        (block(movement=b"\xff\xfe"), "movement", -2),
        (block(movement=b"\x00\xc8"), "movement", 200),
        (block(temperature=0xFF), "temperature", 255),
        (block(flags=0x11), "alarms", zeko.Alarms(True, False, False, False, True)),
        (block(flags=0xE0), "alarms", NO_ALARMS),
        (block(flags=0x0E), "alarms", zeko.Alarms(False, True, True, True, False)),
        (block(learned=b"\xbf\x80\x00\x00"), "learned_vibration", -1.0),
        (block(learned_movement=b"\x80\x00"), "learned_movement", -32768),
        (block(count=255), "record_count", 255),
    ],
)
def test_status_fields(data, field, expected):
    assert getattr(decode_status(data), field) == expected


def test_status_keeps_negative_zero():
    assert math.copysign(1.0, decode_status(block(vibration=b"\x80\0\0\0")).vibration) == -1.0


@pytest.mark.parametrize(
    "number, data, expected, line",
    [
        (1, record(1, 0.5, 0.62), ("vibration", 0.5, 0.62),
         "  1        振动            0.50          0.62"),
        (2, record(3, 0.5, 0.62), ("vibration", 0.5, 0.62),  # bit 0 wins over bit 1
         "  2        振动            0.50          0.62"),
        (3, record(2, 100.0, -124.0), ("movement", 100.0, -124.0),
         "  3        移动          100.00        -124.00"),
        (4, record(4, 70.0, 72.0), ("over_temperature", None, None),
         "  4        超温            NULL          NULL"),
        (5, record(8 | 16), ("tamper", None, None),
         "  5        防拆            NULL          NULL"),
        (6, record(16, 10.5, 9.8), ("low_voltage", 10.5, 9.8),
         "  6        低压           10.50          9.80"),
        (7, record(32, 12.5, 3.0), ("energy", 12.5, None),
         "  7        能量累计       12.50           NULL"),
        (255, record(64, 1.0, 2.0), (None, None, None), ""),  # no type bit: an empty line
        # 0.125 and 0.375 round half to even in binary, exactly as the dialog prints them.
        (8, record(1, 0.125, 0.375), ("vibration", 0.125, 0.375),
         "  8        振动            0.12          0.38"),
    ],
)
def test_records(number, data, expected, line):
    decoded = decode_record(number, data)
    assert (decoded.number, decoded.type, decoded.threshold, decoded.value) == (number, *expected)
    assert decoded.line == line


@pytest.mark.parametrize("decode, data", [
    (decode_status, bytes(14)),
    (decode_status, bytes(16)),
    (lambda data: decode_record(1, data), bytes(15)),
])
def test_wrong_lengths_are_refused(decode, data):
    with pytest.raises(ValueError):
        decode(data)
