// Big-endian field writers for the sensor's binary blocks, which put the most significant byte
// first whatever the host does.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <span>

namespace sim {

inline void PutBE32(std::span<std::uint8_t> out, std::size_t at, std::uint32_t value) {
    out[at] = static_cast<std::uint8_t>(value >> 24);
    out[at + 1] = static_cast<std::uint8_t>(value >> 16);
    out[at + 2] = static_cast<std::uint8_t>(value >> 8);
    out[at + 3] = static_cast<std::uint8_t>(value);
}

inline void PutBE16(std::span<std::uint8_t> out, std::size_t at, std::uint16_t value) {
    out[at] = static_cast<std::uint8_t>(value >> 8);
    out[at + 1] = static_cast<std::uint8_t>(value);
}

// Floats travel as their IEEE-754 bit pattern.
inline void PutBEFloat(std::span<std::uint8_t> out, std::size_t at, float value) {
    PutBE32(out, at, std::bit_cast<std::uint32_t>(value));
}

}  // namespace sim
