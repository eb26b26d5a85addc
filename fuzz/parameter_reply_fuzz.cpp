// Any receive buffer into the parameter reply parser: it must stay inside the buffer, write at
// most 21 bytes of error text and sort every reply into one of its five outcomes.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "comm_port.h"
#include "parameter_protocol.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Exactly the receive buffer's size on the heap, so a read past it is caught.
    auto* reply = static_cast<unsigned char*>(std::malloc(CCommPort::kReplyBufferSize));
    std::memset(reply, 0, CCommPort::kReplyBufferSize);
    std::memcpy(reply, data,
                size < CCommPort::kReplyBufferSize ? size : CCommPort::kReplyBufferSize);
    auto* errorText = static_cast<char*>(std::malloc(kErrorTextCapacity));

    int number = 0;
    long value = 0;
    const int outcome = ParseParameterReply(reply, &number, &value, errorText);
    if (outcome < kValueReply || outcome > kErrorTextReply) std::abort();
    if (outcome == kErrorTextReply && std::memchr(errorText, ';', kErrorTextCapacity) == nullptr) {
        std::abort();
    }
    if (outcome <= kAcknowledgementReply && (value < INT32_MIN || value > INT32_MAX)) std::abort();
    std::free(errorText);
    std::free(reply);
    return 0;
}
