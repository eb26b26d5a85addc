// Helpers for writing expected line traffic and naming table cases readably.
#pragma once

#include <bit>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace sim::test {

inline std::vector<std::uint8_t> Bytes(std::string_view text) { return {text.begin(), text.end()}; }

// `text` with every byte but letters and digits made "_", fit for test names and listings.
inline std::string Plain(std::string_view text) {
    std::string plain;
    for (char c : text) {
        const bool keep =
            (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
        plain += keep ? c : '_';
    }
    return plain;
}

// A test name for a case described by `text`: its index, then the text made plain.
inline std::string CaseName(std::size_t index, std::string_view text) {
    return "Case" + std::to_string(index) + "_" + Plain(text);
}

// The value a parameter 10 request carries for `g`.
inline std::int32_t FloatBits(float g) { return std::bit_cast<std::int32_t>(g); }

}  // namespace sim::test
