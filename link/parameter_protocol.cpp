#include "parameter_protocol.h"

#include <cstdint>
#include <cstring>

#include "comm_port.h"
#include "link_state.h"

namespace {

constexpr int kMaxNumberDigits = 50;
constexpr int kMaxValueDigits = 10;
constexpr int kMaxErrorText = kErrorTextCapacity - 1;

bool IsDigit(unsigned char byte) { return byte >= '0' && byte <= '9'; }

int CountDigits(const unsigned char* bytes, int limit) {
    int count = 0;
    while (count < limit && IsDigit(bytes[count])) ++count;
    return count;
}

// Decimal conversion of a digit run; a run too long for 32 bits wraps rather than overflowing.
std::int32_t ConvertDigits(const unsigned char* digits, int count) {
    std::uint32_t result = 0;
    for (int i = 0; i < count; ++i)
        result = result * 10u + static_cast<std::uint32_t>(digits[i] - '0');
    return static_cast<std::int32_t>(result);
}

}  // namespace

int ExchangeParameter(CCommPort& port, const char* request, int* number, long* value,
                      char* errorText) {
    port.SetTerminatorMode();
    const CCommPort::Reply reply = port.ExchangeText(request);
    if (!reply) return kTimedOutReply;
    return ParseParameterReply(reply->data(), number, value, errorText);
}

int ExchangeParameter(const char* request, int* number, long* value, char* errorText) {
    return ExchangeParameter(g_commPort, request, number, value, errorText);
}

int ParseParameterReply(const unsigned char* reply, int* number, long* value, char* errorText) {
    if (reply[0] != 'P' && reply[0] != 'p') return kMalformedReply;

    const unsigned char* digits = reply + 1;
    const int numberDigits = CountDigits(digits, kMaxNumberDigits);
    if (numberDigits == 0) return kMalformedReply;

    const unsigned char* separator = digits + numberDigits;
    int outcome;
    const unsigned char* cursor;
    if (*separator == '=') {
        outcome = kValueReply;
        cursor = separator + 1;
    } else if (*separator == 'R') {
        outcome = kAcknowledgementReply;
        cursor = separator + 2;  // the byte after "R" is skipped, whatever it is
    } else {
        return kMalformedReply;
    }
    *number = ConvertDigits(digits, numberDigits);

    const bool negative = *cursor == '-';
    if (negative) ++cursor;

    if (!IsDigit(*cursor)) {
        int copied = 0;
        while (copied < kMaxErrorText && cursor[copied] != ';') {
            errorText[copied] = static_cast<char>(cursor[copied]);
            ++copied;
        }
        errorText[copied] = ';';
        return kErrorTextReply;
    }

    const int valueDigits = CountDigits(cursor, kMaxValueDigits);
    if (cursor[valueDigits] != ';') return kMalformedReply;
    const std::int32_t magnitude = ConvertDigits(cursor, valueDigits);
    *value = negative ? static_cast<std::int32_t>(0u - static_cast<std::uint32_t>(magnitude))
                      : magnitude;
    return outcome;
}
