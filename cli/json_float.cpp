#include "json_float.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdlib>

std::string ShortestText(float value) {
    std::array<char, 32> text{};
    const auto result = std::to_chars(text.data(), text.data() + text.size(), value);
    return std::string(text.data(), result.ptr);
}

Json JsonFloat(float value) {
    if (!std::isfinite(value)) return nullptr;
    return std::strtod(ShortestText(value).c_str(), nullptr);
}
