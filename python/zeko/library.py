"""Loading libzeko and declaring the C signatures of the functions the package calls."""

from __future__ import annotations

import ctypes
import functools
import os

LIBRARY_VARIABLE = "ZEKO_LIBRARY"
SONAME = "libzeko.so.1"


@functools.lru_cache(maxsize=None)
def library() -> ctypes.CDLL:
    """libzeko, loaded once: from the path in $ZEKO_LIBRARY, else where the system installed it.

    Raises OSError, naming what was tried, when it cannot be loaded.
    """
    path = os.environ.get(LIBRARY_VARIABLE) or SONAME
    try:
        lib = ctypes.CDLL(path)
    except OSError as error:
        raise OSError(
            f"cannot load {path} ({error}); install libzeko1 or set {LIBRARY_VARIABLE} "
            "to the library's path"
        ) from error

    lib.ZEKO_initial.argtypes = [ctypes.c_int, ctypes.c_long, ctypes.c_long]
    lib.ZEKO_close.argtypes = []
    lib.ZEKO_get.argtypes = [ctypes.c_int, ctypes.POINTER(ctypes.c_long)]
    lib.ZEKO_set.argtypes = [ctypes.c_int, ctypes.c_long]
    lib.ZEKO_super_command.argtypes = [
        ctypes.c_uint,
        ctypes.c_int,
        ctypes.c_int,
        ctypes.POINTER(ctypes.c_ubyte),
        ctypes.POINTER(ctypes.c_ubyte),
    ]
    for function in (lib.ZEKO_initial, lib.ZEKO_close, lib.ZEKO_get, lib.ZEKO_set,
                     lib.ZEKO_super_command):
        function.restype = ctypes.c_int
    return lib
