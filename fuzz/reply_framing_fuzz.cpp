// Any byte stream into the port's framing, in either receive mode and with any reply length:
// the count stays inside the 100-byte buffer and an overflow always ends the reply.
#include <cstdint>
#include <cstdlib>

#include "comm_port.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    static CCommPort port;
    port.m_bFixedLength = data[0] & 1 ? 1 : data[0];
    port.m_nReplyLength = data[1];
    port.m_bReceiving = 1;
    port.m_nReceived = 0;
    for (std::size_t i = 2; i < size; ++i) {
        const int before = port.m_nReceived;
        port.StoreByte(data[i]);
        if (port.m_nReceived < 0 || port.m_nReceived > CCommPort::kReplyBufferSize) std::abort();
        if (before == CCommPort::kReplyBufferSize &&
            (port.m_bReceiving != 0 || port.m_nReceived != 0 || port.m_replyBuffer[0] != ';')) {
            std::abort();
        }
    }
    return 0;
}
