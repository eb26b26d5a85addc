// Cuts the byte stream from the line into the sensor's requests: parameter texts from "P" (or
// "p") up to ";", and block frames by their length byte. Bytes that start neither are skipped, as
// the sensor does with line noise.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace sim {

struct Request {
    enum class Kind { Text, Block };
    Kind kind = Kind::Text;
    std::vector<std::uint8_t> bytes;  // the whole request, terminator or frame header included

    bool operator==(const Request&) const = default;
};

class RequestParser {
public:
    // The longest well-formed text, "P-2147483648=-2147483648;", has 25 bytes; a text that runs
    // longer without ";" is noise and is dropped.
    static constexpr std::size_t kTextLimit = 32;

    // Takes the next bytes from the line; returns the requests they complete, in order.
    std::vector<Request> Feed(std::span<const std::uint8_t> bytes);

    // True while part of a request has arrived and the rest is awaited.
    bool Pending() const { return !m_partial.empty(); }
    // Forgets a half-received request.
    void Reset() { m_partial.clear(); }

private:
    void Take(std::uint8_t byte, std::vector<Request>& complete);

    std::vector<std::uint8_t> m_partial;
};

}  // namespace sim
