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
    if (partial_.empty()) {
        if (StartsText(byte) || StartsFrame(byte)) {
            partial_.push_back(byte);
        }
        return;
    }
    if (StartsText(partial_.front())) {
        partial_.push_back(byte);
        if (byte == ';') {
            complete.push_back({Request::Kind::Text, std::move(partial_)});
            partial_.clear();
        } else if (partial_.size() >= kTextLimit) {
            partial_.clear();
        }
        return;
    }
    if (partial_.size() == 1 && byte < kShortestFrameLength) {
        // No frame is that short, so the type byte was noise; this byte may still start a request.
        partial_.clear();
        Take(byte, complete);
        return;
    }
    partial_.push_back(byte);
    if (partial_.size() == static_cast<std::size_t>(partial_[1]) + 1) {
        complete.push_back({Request::Kind::Block, std::move(partial_)});
        partial_.clear();
    }
}

}  // namespace sim
