"""The result codes of libzeko and the exception that carries a failed one."""

from __future__ import annotations

from typing import Optional

# The names zeko_api.h gives the library's codes.
NAMES = {
    0: "ZEKO_OK",
    1: "ZEKO_BAD_ARGUMENT",
    8: "ZEKO_NOT_READY",
    9: "ZEKO_NO_PORT",
    10: "ZEKO_NO_ANSWER",
    12: "ZEKO_WRONG_IDENTITY",
    31: "ZEKO_NO_LOCK",
    -3: "ZEKO_LOCK_BUSY",
    40: "ZEKO_WRONG_REPLY",
    41: "ZEKO_LINK_LOST",
    42: "ZEKO_MALFORMED",
    43: "ZEKO_GET_TEXT",
    44: "ZEKO_SET_TEXT",
}

_NOT_READY = "not connected, or the link was lost"
_LOCK_BUSY = "another call held the link for 2600 ms"
_LINK_LOST = "no reply; the link is marked lost"

# What each function's own codes mean. Any other code of ZEKO_set or ZEKO_super_command is the
# sensor's, which shares the number space: the same number can mean different things.
MEANINGS = {
    "ZEKO_initial": {
        1: "baud rate refused",
        9: "no such port, or it cannot be opened (absent, no permission, or in use)",
        10: "no valid answer to the identity request",
        12: "another device answered, with another identity",
    },
    "ZEKO_get": {
        8: _NOT_READY,
        31: "no link open",
        -3: _LOCK_BUSY,
        40: "an acknowledgement came where a value was due",
        41: _LINK_LOST,
        42: "malformed reply",
        43: "the sensor answered with an error text",
    },
    "ZEKO_set": {
        8: _NOT_READY,
        31: "no link open",
        -3: _LOCK_BUSY,
        40: "a value came where an acknowledgement was due",
        41: _LINK_LOST,
        42: "malformed reply, or an acknowledgement for another parameter",
        44: "the sensor answered with an error text",
    },
    "ZEKO_super_command": {
        8: _NOT_READY,
        31: "no link open, or no reply in time",
        -3: _LOCK_BUSY,
    },
    "ZEKO_close": {
        31: "nothing open",
        -3: _LOCK_BUSY,
    },
}

_SENSOR_MEANINGS = {
    "ZEKO_set": "the sensor refused the write with its result code",
    "ZEKO_super_command": "the sensor's reply carried the status",
}


class ZekoError(Exception):
    """A call into libzeko failed.

    `code` is the result code the library returned. `name` is its name in zeko_api.h (such as
    "ZEKO_LINK_LOST"), or None when the code is the sensor's own (a refused write, a block
    reply's status), which the header does not name. `function` is the library function that
    returned it and `meaning` says what the code means there.
    """

    def __init__(self, code: int, function: str, context: str = "") -> None:
        own = MEANINGS.get(function, {})
        self.code: int = code
        self.function: str = function
        self.name: Optional[str] = NAMES.get(code) if code in own else None
        self.meaning: str = (
            own[code] if code in own else _SENSOR_MEANINGS.get(function, "unexpected result")
        )
        text = f"{code} {self.name}: {self.meaning}" if self.name else f"{self.meaning} {code}"
        super().__init__(f"{context}: {text}" if context else text)
