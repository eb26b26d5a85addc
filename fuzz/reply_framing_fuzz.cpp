// Any byte stream into the port's framing, in either receive mode and with any reply length:
// the count stays inside the 100-byte buffer and an overflow always ends the reply.
#include <cstdint>
#include <cstdlib>

#include "comm_port.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    static CCommPort port;
    if (data[0] & 1) {
        port.SetFixedLengthMode(data[1]);
    } else {
        port.SetTerminatorMode();
    }
    port.BeginReply();
    for (std::size_t i = 2; i < size; ++i) {
        const int before = port.Received();
        port.StoreByte(data[i]);
        if (port.Received() < 0 || port.Received() > CCommPort::kReplyBufferSize) std::abort();
        if (before == CCommPort::kReplyBufferSize &&
            (port.Receiving() || port.Received() != 0 || port.ReplyBuffer()[0] != ';')) {
            std::abort();
        }
    }
    return 0;
}
