#!/usr/bin/python3
"""The status poll of libzeko written with pyserial: block command 10, 17 reply bytes.

Usage: pyserial_status_poll.py DEVICE ROUNDS; prints each round's time in microseconds."""
import sys
import time

import serial

device, rounds = sys.argv[1], int(sys.argv[2])
frame = bytes([0x03, 0x03, 0x10, 0x0A])
with serial.Serial(device, 115200, timeout=1) as port:
    for _ in range(rounds):
        start = time.perf_counter()
        port.reset_input_buffer()
        port.write(frame)
        reply = port.read(17)
        elapsed = time.perf_counter() - start
        if len(reply) != 17 or reply[0] != 0:
            sys.exit("no status block")
        print(f"{elapsed * 1e6:.1f}")
