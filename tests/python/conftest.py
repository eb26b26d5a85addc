"""The simulated sensor served on a pty in a ports folder of its own, and the package over it.

CTest passes the paths of the built library and simulator; run by hand from the source tree,
the ones in build/ are used.
"""

import os
import subprocess
import sys
from pathlib import Path
from typing import Iterator, List

import pytest

_SOURCE = Path(__file__).resolve().parents[2]
os.environ.setdefault("ZEKO_LIBRARY", str(_SOURCE / "build/link/libzeko.so.1"))
sys.path.insert(0, str(_SOURCE / "python"))

import zeko  # noqa: E402

SIMULATOR = os.environ.get("KQ_SENSOR_SIM", str(_SOURCE / "build/sim/kq-sensor-sim"))
EXAMPLES = _SOURCE / "examples"
SENSOR_PORT = 3


def run_python(arguments: List[str], **environment: str) -> subprocess.CompletedProcess:
    """Runs a Python of its own (a process of its own, so a library of its own) with the package."""
    return subprocess.run(
        [sys.executable, *arguments],
        capture_output=True,
        text=True,
        env={**os.environ, "PYTHONPATH": os.pathsep.join(sys.path), **environment},
    )


class Simulator:
    """kq-sensor-sim on COM`com`, driven through the commands it reads on standard input."""

    def __init__(self, ports: Path, com: int, options: List[str]) -> None:
        self._process = subprocess.Popen(
            [SIMULATOR, "--com", str(com), "--ports-dir", str(ports), *options],
            stdin=subprocess.PIPE,
            stdout=subprocess.PIPE,
            text=True,
        )
        # It names its link once the link is in place.
        banner = self._process.stdout.readline()
        assert f"COM{com} is" in banner, banner
        self._process.stdout.readline()

    def command(self, line: str) -> str:
        self._process.stdin.write(line + "\n")
        self._process.stdin.flush()
        answer = self._process.stdout.readline()
        assert answer.startswith("ok:"), answer
        return answer

    def stop(self) -> None:
        self._process.terminate()
        self._process.wait(timeout=10)


@pytest.fixture
def ports(tmp_path: Path, monkeypatch: pytest.MonkeyPatch) -> Path:
    """An empty ports folder, and the library's COM names mapped into it."""
    monkeypatch.setenv("KQ_PORTS_DIR", str(tmp_path))
    return tmp_path


@pytest.fixture
def serve(ports: Path) -> Iterator:
    """Starts simulators: serve(com, *options)."""
    started: List[Simulator] = []

    def start(com: int, *options: str) -> Simulator:
        started.append(Simulator(ports, com, list(options)))
        return started[-1]

    yield start
    for simulator in started:
        simulator.stop()


@pytest.fixture
def sim(serve) -> Simulator:
    """A sensor on COM3."""
    return serve(SENSOR_PORT)


@pytest.fixture
def sensor(sim: Simulator) -> Iterator[zeko.Sensor]:
    """The package's Sensor, open on the simulated sensor."""
    with zeko.Sensor() as opened:
        yield opened
