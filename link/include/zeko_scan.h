// For C++ programs that link the library statically (the tool, the zeko command): finding the
// sensor among COM ports at once, and whether the link's device went away. Not exported from the
// shared library or the DLL, whose interface stays the six functions.
#pragma once

#include <chrono>
#include <span>
#include <vector>

// What asking one port gave, as ZEKO_initial would have given it: ZEKO_OK for the sensor,
// ZEKO_NO_PORT, ZEKO_NO_ANSWER or ZEKO_WRONG_IDENTITY (with the identity read); ZEKO_BAD_ARGUMENT
// for every port when the baud rate is refused.
struct PortScanResult {
    int port = 0;
    int result = 0;
    long identity = 0;
};

struct SensorScan {
    int found = 0;                      // the lowest port whose device is the sensor, 0 for none
    std::vector<PortScanResult> ports;  // in port order; ports above `found` may be missing
};

// Asks every port of `ports` (ascending) for its identity at once, each on a port object of its
// own, with the attempts and timeouts ZEKO_initial uses, and picks the port a scan one port after
// another would pick. Ports above it get the same identity read at most, and are stopped as soon
// as the answer is known. The scan shows no error box (the results say what failed), and the
// link's own port and state are not touched: the caller opens `found` with ZEKO_initial.
SensorScan ScanForSensor(std::span<const int> ports, long id, long baudRate);

// For a sensor whose device went away: asks every port of `ports` at once, as ScanForSensor does,
// and takes the first port whose device answers as the sensor, whichever port that is. Ports
// still being asked when one is found, or when `limit` has passed, are stopped; `found` is 0 when
// none answered in time. Silent ports cannot hold such a search beyond `limit`, so searches
// repeated one after another notice a sensor that comes back within about `limit`.
SensorScan FindSensorAgain(std::span<const int> ports, long id, long baudRate,
                           std::chrono::milliseconds limit);

// Asks every port of `ports` at once, as ScanForSensor does, and waits for every answer: one
// result per port, in port order.
std::vector<PortScanResult> AskPorts(std::span<const int> ports, long id, long baudRate);

// True from the moment the link let its port go because the device went away (hang-up,
// removal) until ZEKO_initial opens a port again. A device that is only silent is not gone.
bool LinkDeviceGone();
