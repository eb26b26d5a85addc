// A float the sensor sends as the big-endian bit pattern of a 32-bit field.
#pragma once

#include <bit>
#include <cstdint>

#include "win_types.h"
#include "zeko_api.h"

inline float ReadBEFloat(const BYTE* field) {
    return std::bit_cast<float>(static_cast<std::int32_t>(ReadBE32(field)));
}
