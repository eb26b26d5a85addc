#include "number_text.h"

#include <charconv>
#include <cmath>

namespace {

constexpr int kHexBase = 16;

template <class Number, class... Base>
std::optional<Number> ParseAll(std::string_view text, Base... base) {
    Number value{};
    const auto [end, error] =
        std::from_chars(text.data(), text.data() + text.size(), value, base...);
    if (text.empty() || error != std::errc() || end != text.data() + text.size()) return {};
    return value;
}

}  // namespace

std::optional<long long> ParseInteger(const std::string& text) {
    std::string_view digits = text;
    const bool negative = !digits.empty() && digits.front() == '-';
    if (!digits.empty() && (digits.front() == '-' || digits.front() == '+'))
        digits.remove_prefix(1);
    // from_chars takes no sign of its own here, so "--5" and "+-5" stay refused.
    if (!digits.empty() && (digits.front() == '-' || digits.front() == '+')) return {};
    std::optional<long long> magnitude;
    if (digits.starts_with("0x") || digits.starts_with("0X")) {
        magnitude = ParseAll<long long>(digits.substr(2), kHexBase);
    } else {
        magnitude = ParseAll<long long>(digits);
    }
    if (!magnitude) return {};
    return negative ? -*magnitude : *magnitude;
}

std::optional<double> ParseReal(const std::string& text) {
    const std::optional<double> value = ParseAll<double>(text, std::chars_format::general);
    if (!value || !std::isfinite(*value)) return {};
    return value;
}
