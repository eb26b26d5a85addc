"""Opening the sensor: the scan, ports without a sensor, a silent sensor, one port per process."""

import pytest
from conftest import run_python

import zeko


def test_scan_passes_another_device_by_and_takes_the_sensor(serve):
    serve(2, "--identity", "4242")
    serve(5)
    with zeko.Sensor() as sensor:
        assert sensor.port == 5
        assert sensor.get(8) == 19281
    assert sensor.closed


@pytest.mark.parametrize(
    "port, started, code, name",
    [
        (None, [], 9, "ZEKO_NO_PORT"),  # an empty ports folder: nothing on COM16 either
        (4, [(3,)], 9, "ZEKO_NO_PORT"),
        (3, [(3, "--identity", "4242")], 12, "ZEKO_WRONG_IDENTITY"),
        (3, [(3, "--silent")], 10, "ZEKO_NO_ANSWER"),
    ],
)
def test_a_port_without_the_sensor_fails_in_the_constructor(serve, port, started, code, name):
    for arguments in started:
        serve(*arguments)
    with pytest.raises(zeko.ZekoError) as failure:
        zeko.Sensor(port)
    assert (failure.value.code, failure.value.name) == (code, name)
    assert f"{code} {name}: " in str(failure.value)


def test_another_identity_leaves_the_port_free(serve):
    serve(3, "--identity", "4242")
    with pytest.raises(zeko.ZekoError):
        zeko.Sensor(3)
    # The library opens ports exclusively: a port it still held would refuse another program.
    probe = run_python(
        ["-c", "import zeko\ntry: zeko.Sensor(3)\nexcept zeko.ZekoError as e: print(e.code)"]
    )
    assert probe.stdout.strip() == "12"


def test_a_silent_sensor_fails_each_call_and_the_link_comes_back_on_reopening(sim, sensor):
    sim.command("silent on")
    with pytest.raises(zeko.ZekoError) as failure:
        sensor.status()
    assert (failure.value.code, failure.value.name) == (31, "ZEKO_NO_LOCK")
    with pytest.raises(zeko.ZekoError) as failure:
        sensor.get(8)
    assert (failure.value.code, failure.value.name) == (41, "ZEKO_LINK_LOST")
    with pytest.raises(zeko.ZekoError) as failure:
        sensor.status()
    assert (failure.value.code, failure.value.name) == (8, "ZEKO_NOT_READY")

    sim.command("silent off")
    sensor.close()
    with zeko.Sensor(3) as again:
        assert again.status().record_count == 12


def test_one_sensor_per_process(sim):
    with zeko.Sensor(3) as first:
        with pytest.raises(RuntimeError, match="one port per process"):
            zeko.Sensor(3)
        assert first.get(8) == 19281
    with zeko.Sensor(3) as second:
        assert second.get(8) == 19281
    # A closed sensor sends nothing, though another one may hold the port meanwhile.
    with zeko.Sensor(3):
        with pytest.raises(ValueError, match="closed"):
            first.status()


def test_a_forgotten_sensor_releases_the_port(sim):
    zeko.Sensor(3)
    with zeko.Sensor(3) as sensor:
        assert sensor.port == 3


@pytest.mark.parametrize("port", [0, 256, -3, "COM3", 3.0, True])
def test_bad_ports(port):
    with pytest.raises(ValueError):
        zeko.Sensor(port)


def test_a_library_that_cannot_be_loaded_is_named():
    probe = run_python(["-c", "import zeko\nzeko.Sensor()"],
                       ZEKO_LIBRARY="/nonexistent/libzeko.so.1")
    assert probe.returncode != 0
    assert "OSError: cannot load /nonexistent/libzeko.so.1" in probe.stderr
    assert "ZEKO_LIBRARY" in probe.stderr
