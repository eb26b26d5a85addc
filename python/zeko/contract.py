"""What the alarm sensor understands: the numbers the package sends it and reads back."""

IDENTITY = 19281  # parameter 8 of the sensor
BAUD_RATE = 115200

# The dialog's scan, and the port numbers the library can name at all.
SCAN_PORTS = range(1, 17)
PORT_NUMBERS = range(1, 256)

PARAM_VIBRATION_ALARM = 10  # a float's bit pattern, G
PARAM_MOVEMENT_ALARM = 11  # whole degrees/s
PARAM_LEARN_VIBRATION = 12
PARAM_LEARN_MOVEMENT = 13
PARAM_CLEAR_HISTORY = 16
COMMAND_VALUE = 1  # what a command parameter such as 16 is written with

LEARN_START = 1
LEARN_SAVE = 2
LEARN_CANCEL = 0

BLOCK_STATUS = 10  # no payload
STATUS_LENGTH = 15
BLOCK_ALARM_RECORD = 11  # payload: the record number, from 1
RECORD_LENGTH = 16

# Alarm flag bits of the status block, in the order of the dialog's lamps.
FLAG_VIBRATION = 0x01
FLAG_MOVEMENT = 0x02
FLAG_TEMPERATURE = 0x04
FLAG_TAMPER = 0x08
FLAG_VOLTAGE = 0x10
