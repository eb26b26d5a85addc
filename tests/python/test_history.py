"""The status block and the alarm history read from the simulated sensor."""

import csv

import pytest
from conftest import EXAMPLES, run_python

import zeko

# The history the simulated sensor brings: two passes over every type.
SAMPLE = [
    ("vibration", 0.5, 0.62), ("movement", 100.0, 124.0), ("over_temperature", None, None),
    ("tamper", None, None), ("low_voltage", 10.5, 9.8), ("energy", 12.5, None),
    ("vibration", 0.5, 0.87), ("movement", 100.0, 124.25), ("over_temperature", None, None),
    ("tamper", None, None), ("low_voltage", 10.5, 10.05), ("energy", 12.5, None),
]


def test_status_follows_the_sensor(sim, sensor):
    status = sensor.status()
    assert status.alarms == zeko.Alarms(False, False, False, False, False)
    assert status.record_count == len(SAMPLE)
    assert 0.0 <= status.vibration <= 1.0 and 0 <= status.temperature <= 255

    sim.command("alarm tamper")
    sim.command("alarm voltage")
    status = sensor.status()
    assert status.alarms == zeko.Alarms(False, False, False, True, True)
    assert status.record_count == len(SAMPLE) + 2

    sim.command("clear")
    assert sensor.status().alarms == zeko.Alarms(False, False, False, False, False)


def test_history_decodes_every_record(sim, sensor):
    records = list(sensor.history())
    assert [(r.type, r.threshold, r.value) for r in records] == SAMPLE
    assert [r.number for r in records] == list(range(1, len(SAMPLE) + 1))
    assert records[0].line == "  1        振动            0.50          0.62"

    sim.command("record energy 7.25 3")
    sim.command("record movement -12 -130.5")
    added = list(sensor.history())[len(SAMPLE):]
    assert added == [
        zeko.Record(13, "energy", 7.25, None),
        zeko.Record(14, "movement", -12.0, -130.5),
    ]
    assert added[1].line == " 14        移动          -12.00        -130.50"


def test_clear_history(sim, sensor):
    sensor.clear_history()
    assert sensor.status().record_count == 0
    assert list(sensor.history()) == []
    sim.command("alarm vibration")
    assert [r.type for r in sensor.history()] == ["vibration"]


def test_a_record_that_fails_stops_the_history_with_an_error(sim, sensor):
    history = sensor.history()
    assert next(history).number == 1
    sim.command("silent on")
    with pytest.raises(zeko.ZekoError) as failure:
        next(history)
    assert failure.value.name == "ZEKO_NO_LOCK"


def test_the_csv_example(serve, tmp_path):
    out = tmp_path / "history.csv"
    failed = run_python([str(EXAMPLES / "history_to_csv.py"), str(out)])
    assert failed.returncode == 1 and "9 ZEKO_NO_PORT" in failed.stderr and not out.exists()

    serve(3).command("record tamper")
    written = run_python([str(EXAMPLES / "history_to_csv.py"), str(out)])
    assert written.stdout == f"13 records written to {out}\n"
    with open(out, newline="", encoding="utf-8") as rows:
        table = list(csv.reader(rows))
    assert table[:2] == [["number", "type", "threshold", "value"],
                         ["1", "vibration", "0.5", "0.62"]]
    assert table[6:] == [["6", "energy", "12.5", ""], ["7", "vibration", "0.5", "0.87"],
                         ["8", "movement", "100.0", "124.25"], ["9", "over_temperature", "", ""],
                         ["10", "tamper", "", ""], ["11", "low_voltage", "10.5", "10.05"],
                         ["12", "energy", "12.5", ""], ["13", "tamper", "", ""]]
