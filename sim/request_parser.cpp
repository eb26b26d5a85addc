#include "request_parser.h"

#include "sensor_contract.h"

namespace sim {
namespace {

bool StartsText(std::uint8_t byte) { return byte == 'P' || byte == 'p'; }

bool StartsFrame(std::uint8_t byte) {
    return byte == sensor::kFrameTypeLow || byte == sensor::kFrameTypeHigh;
}

// The frame length byte counts the reply length byte, the command code and the payload.
constexpr std::uint8_t kShortestFrameLength = sensor::kFrameHeaderLength - 1;

}  // namespace

std::vector<Request> RequestParser::Feed(std::span<const std::uint8_t> bytes) {
    std::vector<Request> complete;
    for (std::uint8_t byte : bytes) {
        Take(byte, complete);
    }
    return complete;
}

void RequestParser::Take(std::uint8_t byte, std::vector<Request>& complete) {
    if (m_partial.empty()) {
        if (StartsText(byte) || StartsFrame(byte)) {
            m_partial.push_back(byte);
        }
        return;
    }
    if (StartsText(m_partial.front())) {
        m_partial.push_back(byte);
        if (byte == ';') {
            complete.push_back({Request::Kind::Text, std::move(m_partial)});
            m_partial.clear();
        } else if (m_partial.size() >= kTextLimit) {
            m_partial.clear();
        }
        return;
    }
    if (m_partial.size() == 1 && byte < kShortestFrameLength) {
        // No frame is that short, so the type byte was noise; this byte may still start a request.
        m_partial.clear();
        Take(byte, complete);
        return;
    }
    m_partial.push_back(byte);
    if (m_partial.size() == static_cast<std::size_t>(m_partial[1]) + 1) {
        complete.push_back({Request::Kind::Block, std::move(m_partial)});
        m_partial.clear();
    }
}

}  // namespace sim
