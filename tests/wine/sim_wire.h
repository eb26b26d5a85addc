// The line protocol between the link tests built for Windows and the Linux process that serves
// their simulated sensors on ptys: one request line, one answer line ("ok ..." or "error ..."),
// every byte string in hex ("-" when empty).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sim::wire {

// "127.0.0.1:<port>" of the serving process, set by the Wine test runner.
inline constexpr char kHostVariable[] = "KQ_SIM_HOST";
inline constexpr char kEmpty[] = "-";
inline constexpr char kOk[] = "ok";

inline std::string Hex(const std::vector<std::uint8_t>& bytes) {
    if (bytes.empty()) return kEmpty;
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string text;
    for (std::uint8_t byte : bytes) {
        text += kDigits[byte >> 4];
        text += kDigits[byte & 0xF];
    }
    return text;
}

inline std::optional<std::vector<std::uint8_t>> Unhex(std::string_view text) {
    if (text == kEmpty) return std::vector<std::uint8_t>{};
    if (text.size() % 2 != 0) return std::nullopt;
    const auto digit = [](char c) -> int {
        if (c >= '0' && c <= '9') return c - '0';
        if (c >= 'a' && c <= 'f') return c - 'a' + 10;
        return -1;
    };
    std::vector<std::uint8_t> bytes;
    for (std::size_t i = 0; i < text.size(); i += 2) {
        const int high = digit(text[i]);
        const int low = digit(text[i + 1]);
        if (high < 0 || low < 0) return std::nullopt;
        bytes.push_back(static_cast<std::uint8_t>(high << 4 | low));
    }
    return bytes;
}

inline std::vector<std::string> Words(std::string_view line) {
    std::vector<std::string> words;
    std::size_t at = 0;
    while (at < line.size()) {
        const std::size_t start = line.find_first_not_of(' ', at);
        if (start == std::string_view::npos) break;
        const std::size_t end = std::min(line.find(' ', start), line.size());
        words.emplace_back(line.substr(start, end - start));
        at = end;
    }
    return words;
}

}  // namespace sim::wire
