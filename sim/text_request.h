// The two parameter requests the sensor understands: "P<n>;" reads parameter n, "P<n>=<v>;"
// writes v to it; numbers are signed decimal and fit 32 bits.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

namespace sim {

struct TextRequest {
    std::int32_t parameter = 0;
    std::optional<std::int32_t> value;  // present for a write

    bool operator==(const TextRequest&) const = default;
};

// The request held by `text` (a whole request, ";" included), or nothing when it is malformed.
std::optional<TextRequest> ParseTextRequest(std::span<const std::uint8_t> text);

}  // namespace sim
