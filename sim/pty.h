// A pseudo-terminal in raw mode at the sensor's line speed. The master side is the sensor's end
// of the line; a slave descriptor stays open with it, so the master never sees a hang-up while no
// client has the port open, and the raw settings survive clients coming and going.
#pragma once

#include <string>

namespace sim {

class Pty {
public:
    Pty();  // throws std::system_error naming the call that failed
    ~Pty();
    Pty(Pty&& other) noexcept;
    Pty& operator=(Pty&& other) noexcept;
    Pty(const Pty&) = delete;
    Pty& operator=(const Pty&) = delete;

    int Master() const { return m_master; }  // non-blocking
    const std::string& SlavePath() const { return m_slavePath; }

private:
    void Close();

    int m_master = -1;
    int m_slave = -1;
    std::string m_slavePath;
};

}  // namespace sim
