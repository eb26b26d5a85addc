// ZEKO_super_command: one binary frame out, one fixed-length reply back, one attempt.
#include <cstring>

#include "link_state.h"
#include "sensor_contract.h"
#include "zeko_api.h"

namespace {

constexpr int kFrameBufferSize = 100;
constexpr int kMaxPayload = kFrameBufferSize - static_cast<int>(sensor::kFrameHeaderLength);
constexpr int kMaxReplyData =
    CCommPort::kReplyBufferSize - static_cast<int>(sensor::kReplyStatusLength);
constexpr unsigned kMaxCommand = 255;
// A block command that got no reply in time reports it with the "no link" code.
constexpr int kNoReply = ZEKO_NO_LOCK;
// Frame bytes: the type byte, then the length byte that counts everything after the type byte.
constexpr int kTypeByteLength = 1;
// Reply bytes: the link status byte, then the command status byte and the data.
constexpr int kLinkStatusLength = 1;

// Touched only while the access lock is held.
unsigned char g_frameBuffer[kFrameBufferSize];
unsigned char g_replyCopy[CCommPort::kReplyBufferSize];

bool ArgumentsFit(unsigned command, int payloadLength, int replyLength,
                  const unsigned char* payload, const unsigned char* reply) {
    return command <= kMaxCommand && payloadLength >= 0 && payloadLength <= kMaxPayload &&
           replyLength >= 0 && replyLength <= kMaxReplyData &&
           (payloadLength == 0 || payload != nullptr) && (replyLength == 0 || reply != nullptr);
}

}  // namespace

extern "C" int ZEKO_super_command(unsigned int command, int payloadLength, int replyLength,
                                  const unsigned char* payload, unsigned char* reply) {
    if (!LinkReady()) return ZEKO_NOT_READY;
    AccessLockHolder lock;
    if (const int refused = lock.Take()) return refused;
    // Lengths that do not fit the frame or the reply buffer are refused before anything is sent.
    if (!ArgumentsFit(command, payloadLength, replyLength, payload, reply)) {
        return ZEKO_BAD_ARGUMENT;
    }

    const int frameLength =
        payloadLength + static_cast<int>(sensor::kFrameHeaderLength) - kTypeByteLength;
    const int replyLengthByte =
        replyLength + static_cast<int>(sensor::kReplyStatusLength) - kLinkStatusLength;
    g_frameBuffer[0] =
        command <= sensor::kFrameTypeLowLimit ? sensor::kFrameTypeLow : sensor::kFrameTypeHigh;
    g_frameBuffer[1] = static_cast<unsigned char>(frameLength);
    g_frameBuffer[2] = static_cast<unsigned char>(replyLengthByte);
    g_frameBuffer[3] = static_cast<unsigned char>(command);
    if (payloadLength > 0) {
        std::memcpy(g_frameBuffer + sensor::kFrameHeaderLength, payload, payloadLength);
    }

    g_commPort.SetFixedLengthMode(static_cast<BYTE>(replyLengthByte + kLinkStatusLength));
    const CCommPort::Reply received =
        g_commPort.ExchangeBytes(g_frameBuffer, frameLength + kTypeByteLength);
    if (!received) return kNoReply;

    std::memcpy(g_replyCopy, received->data(), replyLengthByte + kLinkStatusLength);
    if (g_replyCopy[0] != 0) return g_replyCopy[0];
    if (replyLength > 0) {
        std::memcpy(reply, g_replyCopy + sensor::kReplyStatusLength, replyLength);
    }
    return g_replyCopy[1];
}
