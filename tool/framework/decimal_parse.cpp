#include "decimal_parse.h"

#include <charconv>
#include <cmath>
#include <regex>

namespace {

using Match = std::match_results<std::string_view::const_iterator>;

// Blanks, a sign, the digits, blanks. A real number has digits with an optional point and
// fraction (or a point and a fraction) and an optional exponent: no "inf", "nan" or hex.
const std::regex kReal(R"([ \t\r\n]*([+-]?)(([0-9]+\.?[0-9]*|\.[0-9]+)([eE][+-]?[0-9]+)?)[ \t\r\n]*)");
const std::regex kInteger(R"([ \t\r\n]*([+-]?)([0-9]+)[ \t\r\n]*)");

// The number's digits without the sign, which from_chars would not take as a plus.
std::string_view Digits(const Match& match) {
    return {match[2].first, static_cast<std::size_t>(match[2].length())};
}

bool Negative(const Match& match) { return match[1].compare("-") == 0; }

}  // namespace

std::optional<double> ParseDecimalReal(std::string_view text) {
    Match match;
    if (!std::regex_match(text.begin(), text.end(), match, kReal)) {
        return std::nullopt;
    }
    const std::string_view digits = Digits(match);
    double value = 0.0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (error != std::errc() || end != digits.data() + digits.size() || !std::isfinite(value)) {
        return std::nullopt;
    }
    return Negative(match) ? -value : value;
}

std::optional<long long> ParseDecimalInteger(std::string_view text) {
    Match match;
    if (!std::regex_match(text.begin(), text.end(), match, kInteger)) {
        return std::nullopt;
    }
    const std::string_view digits = Digits(match);
    unsigned long long magnitude = 0;
    const auto [end, error] =
        std::from_chars(digits.data(), digits.data() + digits.size(), magnitude);
    if (error != std::errc() || magnitude > 1ULL << 62) {
        return std::nullopt;
    }
    const auto value = static_cast<long long>(magnitude);
    return Negative(match) ? -value : value;
}
