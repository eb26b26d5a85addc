// The last 30 minutes of status polls, kept whether or not the trend window is open: each poll's
// start time and readings, or its failure, in a fixed ring of compact samples.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "status_block.h"

// Sixteen bytes; a failed poll has no readings and its vibration is not a number (a reading
// never is: the status block's decoding floors it).
struct TrendSample {
    std::int64_t startedMs;  // milliseconds since the epoch
    float vibration;         // G
    std::int16_t movement;   // degrees/s
    std::uint8_t temperature;
    std::uint8_t flags;  // the status's alarm flag byte

    bool Failed() const;
    // The readings, as the CSV line and the peaks take them.
    StatusReadings Readings() const;
};

class TrendRecording {
public:
    static constexpr std::int64_t kKeptMs = 30 * 60 * 1000;
    // Thirty minutes of polls at 10 per second.
    static constexpr std::size_t kCapacity = 18'000;

    TrendRecording();

    // Adds one poll; the oldest sample goes when the ring is full or it is older than 30 minutes
    // before this one.
    void Record(std::int64_t startedMs, const std::optional<StatusReadings>& status);

    std::size_t Size() const { return m_size; }
    // Oldest first.
    const TrendSample& operator[](std::size_t index) const;
    // The index of the first sample started at or after `ms`, Size() when there is none.
    std::size_t FirstAtOrAfter(std::int64_t ms) const;
    // The memory the recording holds, in bytes.
    std::size_t Bytes() const;

private:
    std::vector<TrendSample> m_ring;
    std::size_t m_first = 0;
    std::size_t m_size = 0;
};
