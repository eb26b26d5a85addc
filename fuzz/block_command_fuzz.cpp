// ZEKO_super_command with arbitrary arguments against a simulated sensor answering arbitrary
// bytes. Payload and reply buffers are exactly as large as the caller says (or as the input
// allows), so any read or write outside them is caught; refused arguments send nothing.
#include <stdlib.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <memory>
#include <vector>

#include "pty_server.h"
#include "zeko_api.h"

namespace {

constexpr int kCom = 3;
constexpr int kMaxReplyData = 98;

sim::PtyServer* g_sensor = nullptr;

std::int32_t Take32(const std::uint8_t*& data, std::size_t& size) {
    std::uint32_t value = 0;
    for (int i = 0; i < 4 && size > 0; ++i, ++data, --size) value = value << 8 | *data;
    return static_cast<std::int32_t>(value);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    char pattern[] = "/tmp/kq-fuzz-XXXXXX";
    setenv("KQ_PORTS_DIR", mkdtemp(pattern), 1);
    g_sensor = new sim::PtyServer(pattern, kCom);
    if (ZEKO_initial(kCom, 19281, 115200) != ZEKO_OK) abort();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto command = static_cast<unsigned>(Take32(data, size));
    const int payloadLength = Take32(data, size) % 200;
    const int replyLength = Take32(data, size) % 200;

    constexpr int kMaxPayload = 96;
    const bool payloadFits = payloadLength >= 0 && payloadLength <= kMaxPayload;
    // A caller's payload holds what it says; a length the library must refuse gets only what
    // the input has, so that reading it would be caught.
    const std::size_t taken = payloadLength > 0 ? std::min<std::size_t>(payloadLength, size) : 0;
    std::vector<unsigned char> payload(data, data + taken);
    if (payloadFits) payload.resize(payloadLength);
    data += taken;
    size -= taken;
    const bool valid = command <= 255 && payloadFits && replyLength >= 0 &&
                       replyLength <= kMaxReplyData;

    // The sensor answers with exactly the reply length asked for, so no exchange waits.
    std::vector<std::uint8_t> answer(data, data + std::min<std::size_t>(size, replyLength + 2));
    answer.resize(replyLength >= 0 ? replyLength + 2 : 0);
    sim::Reply reply;
    reply.kind = sim::Reply::Kind::Raw;
    reply.bytes = answer;
    if (valid) g_sensor->Script(reply);

    auto replyBuffer = std::make_unique<unsigned char[]>(replyLength > 0 ? replyLength : 1);
    const int result = ZEKO_super_command(command, payloadLength, replyLength,
                                          payload.empty() ? nullptr : payload.data(),
                                          replyLength > 0 ? replyBuffer.get() : nullptr);
    // Only refusals are checked by value: on a loaded machine an answer can come after its
    // exchange timed out and, arriving once the next request is out, be taken for that one's,
    // so a valid call's result may be any status byte.
    if (!valid && result != ZEKO_BAD_ARGUMENT) abort();
    return 0;
}
