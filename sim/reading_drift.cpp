#include "reading_drift.h"

#include <algorithm>
#include <cmath>

namespace sim {
namespace {

constexpr double kVibrationRest = 0.08;
constexpr double kVibrationMax = 0.3;
constexpr double kMovementSpan = 20.0;
constexpr int kTemperatureRest = 25;
constexpr int kTemperatureSpan = 2;

}  // namespace

int ReadingDrift::StepsIn(std::chrono::milliseconds elapsed) {
    m_carry += std::max(elapsed, std::chrono::milliseconds{0});
    const auto steps = m_carry / kStep;
    m_carry %= kStep;
    return static_cast<int>(std::min<std::int64_t>(steps, kMaxSteps));
}

double ReadingDrift::Uniform() {
    const double unit = static_cast<double>(m_random() - std::minstd_rand::min()) /
                        (std::minstd_rand::max() - std::minstd_rand::min());
    return unit * 2.0 - 1.0;
}

float ReadingDrift::NextVibration(float current) {
    // Pulled back towards rest, with a little noise on top.
    const double next = current + 0.2 * (kVibrationRest - current) + 0.03 * Uniform();
    return static_cast<float>(std::clamp(next, 0.0, kVibrationMax));
}

std::int16_t ReadingDrift::NextMovement(std::int16_t current) {
    const double next = std::round(0.7 * current + 4.0 * Uniform());
    return static_cast<std::int16_t>(std::clamp(next, -kMovementSpan, kMovementSpan));
}

std::uint8_t ReadingDrift::NextTemperature(std::uint8_t current) {
    // Temperature moves rarely, one degree at a time, and stays near rest.
    const double roll = Uniform();
    int next = current;
    if (roll > 0.95) {
        ++next;
    } else if (roll < -0.95) {
        --next;
    }
    return static_cast<std::uint8_t>(
        std::clamp(next, kTemperatureRest - kTemperatureSpan, kTemperatureRest + kTemperatureSpan));
}

}  // namespace sim
