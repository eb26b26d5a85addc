"""The KQ alarm sensor from Python, through the libzeko link library.

    import zeko

    with zeko.Sensor() as sensor:          # the first of COM1 to COM16 with the sensor
        status = sensor.status()
        print(status.vibration, status.alarms.tamper, status.record_count)
        sensor.movement_threshold = 120
        for record in sensor.history():
            print(record.number, record.type, record.threshold, record.value)

The package calls libzeko.so.1 with ctypes: the installed library, or the one at the path in
$ZEKO_LIBRARY. libzeko drives one port per process, so only one Sensor is open at a time.
Library failures raise ZekoError (with .code and .name), bad arguments ValueError.
"""

from .errors import ZekoError
from .record import TYPES as RECORD_TYPES
from .record import Record
from .sensor import Sensor
from .status import Alarms, Status

__all__ = ["Alarms", "RECORD_TYPES", "Record", "Sensor", "Status", "ZekoError"]
__version__ = "1.0.0.1"
