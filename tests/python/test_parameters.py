"""Thresholds, raw parameters and threshold learning against the simulated sensor."""

import struct

import pytest

import zeko


@pytest.mark.parametrize(
    "attribute, value, parameter, stored",
    [
        ("vibration_threshold", 0.5, 10, 1056964608),  # the bit pattern of 0.5
        ("vibration_threshold", 0.29, 10, struct.unpack(">i", struct.pack(">f", 0.29))[0]),
        ("vibration_threshold", 1, 10, 1065353216),
        ("vibration_threshold", 0.001, 10, struct.unpack(">i", struct.pack(">f", 0.001))[0]),
        ("movement_threshold", 1, 11, 1),
        ("movement_threshold", 200, 11, 200),
    ],
)
def test_thresholds_are_written_and_read_back(sensor, attribute, value, parameter, stored):
    setattr(sensor, attribute, value)
    assert sensor.get(parameter) == stored
    assert getattr(sensor, attribute) == value


@pytest.mark.parametrize(
    "attribute, value",
    [
        ("vibration_threshold", 0),
        ("vibration_threshold", -0.0),
        ("vibration_threshold", 1e-50),  # zero in single precision
        ("vibration_threshold", 1.5),
        ("vibration_threshold", 1.0000001),  # above 1 in single precision
        ("vibration_threshold", -0.1),
        ("vibration_threshold", float("nan")),
        ("vibration_threshold", float("inf")),
        ("vibration_threshold", 1e39),  # beyond single precision
        ("vibration_threshold", 10**400),  # beyond double precision
        ("vibration_threshold", "0.5"),
        ("vibration_threshold", True),
        ("movement_threshold", 0),
        ("movement_threshold", 201),
        ("movement_threshold", -1),
        ("movement_threshold", 1.5),
        ("movement_threshold", "100"),
        ("movement_threshold", True),
    ],
)
def test_refused_thresholds_send_nothing(sensor, attribute, value):
    before = (sensor.get(10), sensor.get(11))
    with pytest.raises(ValueError):
        setattr(sensor, attribute, value)
    assert (sensor.get(10), sensor.get(11)) == before


@pytest.mark.parametrize(
    "call",
    [
        lambda s: s.get(-1),
        lambda s: s.get(2**31),
        lambda s: s.get("8"),
        lambda s: s.get(8.0),
        lambda s: s.set(11, 2**32),
        lambda s: s.set(11, -(2**31) - 1),
        lambda s: s.set(11, 1.5),
        lambda s: s.set(True, 1),
        lambda s: s.learn("temperature", "start"),
        lambda s: s.learn("vibration", "go"),
        lambda s: s.learn(["vibration"], "start"),
    ],
)
def test_bad_arguments(sensor, call):
    with pytest.raises(ValueError):
        call(sensor)


def test_raw_parameters_and_the_sensors_refusals(sensor):
    sensor.set(11, 150)
    assert sensor.movement_threshold == 150
    # An unsigned pattern is the same 32 bits as its signed value: the float 0.75 here.
    sensor.set(10, 0x3F400000)
    assert (sensor.get(10), sensor.vibration_threshold) == (0x3F400000, 0.75)
    for param, value, code in [(8, 1, 2), (11, 500, 1), (99, 1, 3)]:
        with pytest.raises(zeko.ZekoError) as failure:
            sensor.set(param, value)
        assert (failure.value.code, failure.value.name) == (code, None)
        assert f"refused the write with its result code {code}" in str(failure.value)
    assert sensor.movement_threshold == 150


def test_learning(sensor):
    sensor.learn("vibration", "start")
    assert sensor.get(12) == 1
    sensor.learn("vibration", "save")
    assert sensor.get(12) == 0
    assert sensor.vibration_threshold == sensor.status().learned_vibration

    before = sensor.movement_threshold
    sensor.learn("movement", "start")
    sensor.learn("movement", "cancel")
    assert (sensor.get(13), sensor.movement_threshold) == (0, before)
    # Saving with no learning under way is refused by the sensor.
    with pytest.raises(zeko.ZekoError) as failure:
        sensor.learn("movement", "save")
    assert failure.value.code == 5
