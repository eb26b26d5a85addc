// A float the sensor sends as the big-endian bit pattern of a 32-bit field. Needs zeko_api.h on
// the include path, for ReadBE32.
#pragma once

#include <bit>
#include <cstdint>

#include "zeko_api.h"

inline float ReadBEFloat(const std::uint8_t* field) {
    return std::bit_cast<float>(static_cast<std::int32_t>(ReadBE32(field)));
}
