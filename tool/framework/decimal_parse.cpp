#include "decimal_parse.h"

#include <charconv>
#include <cmath>
#include <regex>
#include <string>

namespace {

// Blanks, a sign, the digits, blanks. A real number has digits with an optional point and
// fraction (or a point and a fraction) and an optional exponent: no "inf", "nan" or hex.
// Matched against the whole text.
const std::regex kReal(
    R"([ \t\r\n]*([+-]?)((?:[0-9]+\.?[0-9]*|\.[0-9]+)(?:[eE][+-]?[0-9]+)?)[ \t\r\n]*)");
const std::regex kInteger(R"([ \t\r\n]*([+-]?)([0-9]+)[ \t\r\n]*)");

struct Number {
    bool negative;
    std::string digits;  // without the sign, which from_chars would not take as a plus
};

std::optional<Number> Match(const std::regex& pattern, std::string_view text) {
    std::match_results<std::string_view::const_iterator> match;
    if (!std::regex_match(text.begin(), text.end(), match, pattern)) {
        return std::nullopt;
    }
    return Number{match.str(1) == "-", match.str(2)};
}

}  // namespace

std::optional<double> ParseDecimalReal(std::string_view text) {
    const std::optional<Number> number = Match(kReal, text);
    if (!number) {
        return std::nullopt;
    }
    const std::string& digits = number->digits;
    double value = 0.0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (error != std::errc() || end != digits.data() + digits.size() || !std::isfinite(value)) {
        return std::nullopt;
    }
    return number->negative ? -value : value;
}

std::optional<long long> ParseDecimalInteger(std::string_view text) {
    const std::optional<Number> number = Match(kInteger, text);
    if (!number) {
        return std::nullopt;
    }
    const std::string& digits = number->digits;
    unsigned long long magnitude = 0;
    const auto [end, error] =
        std::from_chars(digits.data(), digits.data() + digits.size(), magnitude);
    if (error != std::errc() || magnitude > 1ULL << 62) {
        return std::nullopt;
    }
    const auto value = static_cast<long long>(magnitude);
    return number->negative ? -value : value;
}
