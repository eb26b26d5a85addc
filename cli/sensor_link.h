// The sensor through libzeko's six functions: opened on a given port or found by the dialog's scan
// of COM1 to COM16, each call checked, every failure thrown as a CommandFailure naming its code.
#pragma once

#include <cstdint>
#include <span>

class SensorLink {
public:
    // port 0 scans COM1 to COM16 and keeps the first port holding the sensor.
    explicit SensorLink(int port);
    ~SensorLink();  // closes the port
    SensorLink(const SensorLink&) = delete;
    SensorLink& operator=(const SensorLink&) = delete;

    long Get(int parameter);
    void Set(int parameter, long value);
    // Block command `command` with `payload`, filling all of `reply`.
    void Block(unsigned command, std::span<const std::uint8_t> payload,
               std::span<std::uint8_t> reply);
};
