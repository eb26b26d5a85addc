#include "decimal_parse.h"

#include <charconv>
#include <cmath>
#include <string>

namespace {

// Scanned by hand: std::regex trips g++ 12's uninitialised-use warning under the sanitizers.
constexpr std::string_view kBlanks = " \t\r\n";

struct Number {
    bool negative;
    std::string digits;  // without the sign, which from_chars would not take as a plus
};

std::size_t SkipDigits(std::string_view text, std::size_t at) {
    while (at < text.size() && text[at] >= '0' && text[at] <= '9') {
        ++at;
    }
    return at;
}

// Digits with an optional point and fraction, or a point and a fraction, then an optional
// exponent: no "inf", "nan" or hex.
bool IsReal(std::string_view text) {
    std::size_t at = SkipDigits(text, 0);
    const bool whole = at > 0;
    bool fraction = false;
    if (at < text.size() && text[at] == '.') {
        const std::size_t end = SkipDigits(text, at + 1);
        fraction = end > at + 1;
        at = end;
    }
    if (!whole && !fraction) {
        return false;
    }
    if (at < text.size() && (text[at] == 'e' || text[at] == 'E')) {
        ++at;
        if (at < text.size() && (text[at] == '+' || text[at] == '-')) {
            ++at;
        }
        const std::size_t end = SkipDigits(text, at);
        if (end == at) {
            return false;
        }
        at = end;
    }
    return at == text.size();
}

bool IsInteger(std::string_view text) {
    return !text.empty() && SkipDigits(text, 0) == text.size();
}

// Blanks, a sign, the number, blanks: the whole text.
std::optional<Number> Match(bool (*isNumber)(std::string_view), std::string_view text) {
    const std::size_t first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos) {
        return std::nullopt;
    }
    text = text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
    const bool negative = text.front() == '-';
    if (negative || text.front() == '+') {
        text.remove_prefix(1);
    }
    if (!isNumber(text)) {
        return std::nullopt;
    }
    return Number{negative, std::string(text)};
}

}  // namespace

std::optional<double> ParseDecimalReal(std::string_view text) {
    const std::optional<Number> number = Match(IsReal, text);
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
    const std::optional<Number> number = Match(IsInteger, text);
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
