#include "text_request.h"

#include <cstddef>
#include <limits>

namespace sim {
namespace {

// Reads an optional "-" and 1 to 10 digits from text[at]; advances `at` past them.
std::optional<std::int32_t> ReadNumber(std::span<const std::uint8_t> text, std::size_t& at) {
    bool negative = at < text.size() && text[at] == '-';
    if (negative) {
        ++at;
    }
    const std::size_t first = at;
    std::int64_t magnitude = 0;
    while (at < text.size() && text[at] >= '0' && text[at] <= '9' && at - first < 10) {
        magnitude = magnitude * 10 + (text[at] - '0');
        ++at;
    }
    if (at == first) {
        return std::nullopt;
    }
    const std::int64_t value = negative ? -magnitude : magnitude;
    if (value < std::numeric_limits<std::int32_t>::min() ||
        value > std::numeric_limits<std::int32_t>::max()) {
        return std::nullopt;
    }
    return static_cast<std::int32_t>(value);
}

}  // namespace

std::optional<TextRequest> ParseTextRequest(std::span<const std::uint8_t> text) {
    if (text.empty() || (text[0] != 'P' && text[0] != 'p')) {
        return std::nullopt;
    }
    std::size_t at = 1;
    const auto parameter = ReadNumber(text, at);
    if (!parameter || at >= text.size()) {
        return std::nullopt;
    }
    TextRequest request{*parameter, std::nullopt};
    if (text[at] == '=') {
        ++at;
        request.value = ReadNumber(text, at);
        if (!request.value || at >= text.size()) {
            return std::nullopt;
        }
    }
    if (text[at] != ';' || at + 1 != text.size()) {
        return std::nullopt;
    }
    return request;
}

}  // namespace sim
