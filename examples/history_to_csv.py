#!/usr/bin/env python3
"""Writes the sensor's alarm history to a CSV file: history_to_csv.py [FILE.csv]"""

import csv
import sys

import zeko


def main() -> int:
    path = sys.argv[1] if len(sys.argv) > 1 else "alarm-history.csv"
    try:
        with zeko.Sensor() as sensor:
            records = list(sensor.history())
    except zeko.ZekoError as error:
        print(f"history_to_csv: {error}", file=sys.stderr)
        return 1
    with open(path, "w", newline="", encoding="utf-8") as out:
        writer = csv.writer(out)
        writer.writerow(["number", "type", "threshold", "value"])
        for r in records:
            writer.writerow([r.number, r.type, r.threshold, r.value])  # None is an empty cell
    print(f"{len(records)} records written to {path}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
