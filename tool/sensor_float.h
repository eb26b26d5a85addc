// Floats the sensor exchanges as the bit pattern of a 32-bit value: in a big-endian field of a
// block, or as the value of a parameter.
#pragma once

#include <bit>
#include <cstdint>

#include "win_types.h"
#include "zeko_api.h"

inline float ReadBEFloat(const BYTE* field) {
    return std::bit_cast<float>(static_cast<std::int32_t>(ReadBE32(field)));
}

// A parameter's value holds its 32 bits in the low half of a long.
inline float FloatOfParameter(long value) {
    return std::bit_cast<float>(static_cast<std::int32_t>(value));
}

inline std::int32_t ParameterOfFloat(float value) { return std::bit_cast<std::int32_t>(value); }
