#include "trend_recording.h"

#include <cmath>
#include <limits>

bool TrendSample::Failed() const { return std::isnan(vibration); }

StatusReadings TrendSample::Readings() const {
    return {.vibration = vibration,
            .movement = movement,
            .temperature = temperature,
            .flags = flags,
            .learnedVibration = 0,
            .learnedMovement = 0,
            .recordCount = 0};
}

// The whole ring is taken at once, so the tool's memory does not grow while it runs.
TrendRecording::TrendRecording() : m_ring(kCapacity) {}

void TrendRecording::Record(std::int64_t startedMs, const std::optional<StatusReadings>& status) {
    while (m_size > 0 && (m_size == kCapacity || (*this)[0].startedMs < startedMs - kKeptMs)) {
        m_first = (m_first + 1) % kCapacity;
        --m_size;
    }
    TrendSample& sample = m_ring[(m_first + m_size) % kCapacity];
    ++m_size;
    if (!status) {
        sample = {.startedMs = startedMs,
                  .vibration = std::numeric_limits<float>::quiet_NaN(),
                  .movement = 0,
                  .temperature = 0,
                  .flags = 0};
        return;
    }
    sample = {.startedMs = startedMs,
              .vibration = status->vibration,
              .movement = status->movement,
              .temperature = static_cast<std::uint8_t>(status->temperature),
              .flags = status->flags};
}

// Without a division: the drawing reads every sample of the span on each repaint.
const TrendSample& TrendRecording::operator[](std::size_t index) const {
    const std::size_t at = m_first + index;
    return m_ring[at < kCapacity ? at : at - kCapacity];
}

// Start times rise with the index but for a clock set back; the search only needs them to.
std::size_t TrendRecording::FirstAtOrAfter(std::int64_t ms) const {
    std::size_t low = 0;
    std::size_t high = m_size;
    while (low < high) {
        const std::size_t middle = low + (high - low) / 2;
        if ((*this)[middle].startedMs < ms) {
            low = middle + 1;
        } else {
            high = middle;
        }
    }
    return low;
}

std::size_t TrendRecording::Bytes() const {
    return sizeof(*this) + m_ring.capacity() * sizeof(TrendSample);
}
