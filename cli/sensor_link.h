// The sensor through libzeko's six functions: opened on a given port or found by the dialog's scan
// of COM1 to COM16, each call checked, every failure thrown as a CommandFailure naming its code.
#pragma once

#include <cstdint>
#include <span>

class SensorLink {
public:
    // port 0 scans COM1 to COM16 and keeps the lowest port holding the sensor.
    explicit SensorLink(int port);
    ~SensorLink();  // closes the port
    SensorLink(const SensorLink&) = delete;
    SensorLink& operator=(const SensorLink&) = delete;

    long Get(int parameter);
    void Set(int parameter, long value);
    // Block command `command` with `payload`, filling all of `reply`.
    void Block(unsigned command, std::span<const std::uint8_t> payload,
               std::span<std::uint8_t> reply);

    // Whether the link let its port go because the device went away (pulled, hung up).
    bool DeviceGone() const;
    // Looks for the sensor once more, as the constructor did: true when it answers again.
    bool Find();
    int Port() const { return m_open; }

private:
    // ZEKO_OK with the port open, else the result of the port given or the last port scanned.
    int Open();

    const int m_port;  // as asked: 0 to scan
    int m_open = 0;    // the port the sensor was found on
};
