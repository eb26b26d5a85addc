// The small, slow wandering of a sensor at rest: vibration near 0.1 G, movement a few degrees/s
// either way, temperature around 25 C. A fixed seed keeps every run the same.
#pragma once

#include <chrono>
#include <cstdint>
#include <random>

namespace sim {

class ReadingDrift {
public:
    // The sensor refreshes its readings ten times a second.
    static constexpr std::chrono::milliseconds kStep{100};
    // A long idle spell is caught up with at most a minute of steps; older history is invisible.
    static constexpr int kMaxSteps = 600;

    // How many refreshes fall into the next `elapsed`, carrying the remainder to the next call.
    int StepsIn(std::chrono::milliseconds elapsed);

    float NextVibration(float current);
    std::int16_t NextMovement(std::int16_t current);
    std::uint8_t NextTemperature(std::uint8_t current);

private:
    double Uniform();  // -1 to 1

    std::minstd_rand m_random{19281};
    std::chrono::milliseconds m_carry{0};
};

}  // namespace sim
