#include "decimal_parse.h"

#include <charconv>
#include <cmath>

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

std::string_view Trim(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

std::size_t SkipDigits(std::string_view text, std::size_t at) {
    while (at < text.size() && IsDigit(text[at])) {
        ++at;
    }
    return at;
}

// Splits off the sign: from_chars takes a minus only, and no plus.
bool TakeSign(std::string_view& text) {
    const bool negative = !text.empty() && text.front() == '-';
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        text.remove_prefix(1);
    }
    return negative;
}

}  // namespace

std::optional<double> ParseDecimalReal(std::string_view text) {
    text = Trim(text);
    const bool negative = TakeSign(text);
    // digits [. digits] or . digits, then an optional exponent; no "inf", "nan" or hex.
    std::size_t at = SkipDigits(text, 0);
    std::size_t digits = at;
    if (at < text.size() && text[at] == '.') {
        const std::size_t fraction = SkipDigits(text, at + 1);
        digits += fraction - at - 1;
        at = fraction;
    }
    if (digits == 0) {
        return std::nullopt;
    }
    if (at < text.size() && (text[at] == 'e' || text[at] == 'E')) {
        std::size_t exponent = at + 1;
        if (exponent < text.size() && (text[exponent] == '+' || text[exponent] == '-')) {
            ++exponent;
        }
        const std::size_t end = SkipDigits(text, exponent);
        if (end == exponent) {
            return std::nullopt;
        }
        at = end;
    }
    if (at != text.size()) {
        return std::nullopt;
    }
    double value = 0.0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(value)) {
        return std::nullopt;
    }
    return negative ? -value : value;
}

std::optional<long long> ParseDecimalInteger(std::string_view text) {
    text = Trim(text);
    const bool negative = TakeSign(text);
    if (text.empty() || SkipDigits(text, 0) != text.size()) {
        return std::nullopt;
    }
    unsigned long long magnitude = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), magnitude);
    if (error != std::errc() || magnitude > 1ULL << 62) {
        return std::nullopt;
    }
    const auto value = static_cast<long long>(magnitude);
    return negative ? -value : value;
}
