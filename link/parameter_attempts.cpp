#include "parameter_attempts.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "parameter_protocol.h"
#include "zeko_api.h"

namespace {

// A parameter request's text, "P%d;" or "P%d=%d;", with room to spare.
constexpr std::size_t kRequestSize = 50;

// What one attempt brought back: the protocol's outcome, with the echoed number and value.
struct Attempt {
    int outcome;
    int number = 0;
    long value = 0;
};

// Sends the request and sorts its reply; the error text is dropped.
Attempt Send(CCommPort& port, const char* request) {
    Attempt attempt{};
    char errorText[kErrorTextCapacity];
    attempt.outcome = ExchangeParameter(port, request, &attempt.number, &attempt.value, errorText);
    return attempt;
}

// The second attempt of a read decides: any value reply is taken, whatever parameter it names.
ParameterResult SecondRead(const Attempt& attempt, long* value) {
    switch (attempt.outcome) {
        case kValueReply:
            *value = attempt.value;
            return {ZEKO_OK};
        case kAcknowledgementReply:
            return {ZEKO_WRONG_REPLY};
        case kTimedOutReply:
            return {ZEKO_LINK_LOST, true};
        case kErrorTextReply:
            return {ZEKO_GET_TEXT};
        default:
            return {ZEKO_MALFORMED};
    }
}

// The second attempt of a write decides: only an acknowledgement for `param` carries its code.
ParameterResult SecondWrite(const Attempt& attempt, int param) {
    switch (attempt.outcome) {
        case kValueReply:
            return {ZEKO_WRONG_REPLY};
        case kAcknowledgementReply:
            return {attempt.number == param ? static_cast<int>(attempt.value) : ZEKO_MALFORMED};
        case kTimedOutReply:
            return {ZEKO_LINK_LOST, true};
        case kErrorTextReply:
            return {ZEKO_SET_TEXT};
        default:
            return {ZEKO_MALFORMED};
    }
}

}  // namespace

// The first attempt ends a read only with a value reply for `param`.
ParameterResult ReadParameter(CCommPort& port, int param, long* value) {
    char request[kRequestSize];
    std::snprintf(request, sizeof request, "P%d;", param);
    const Attempt first = Send(port, request);
    if (first.outcome == kValueReply && first.number == param) {
        *value = first.value;
        return {ZEKO_OK};
    }
    return SecondRead(Send(port, request), value);
}

// The first attempt ends a write with an acknowledgement that refuses (for any parameter) or
// accepts for `param`.
ParameterResult WriteParameter(CCommPort& port, int param, long value) {
    // The sensor's parameters are 32 bits wide: a float's bit pattern passed as an unsigned
    // long arrives as the same 32 bits.
    char request[kRequestSize];
    std::snprintf(request, sizeof request, "P%d=%d;", param,
                  static_cast<int>(static_cast<std::int32_t>(value)));
    const Attempt first = Send(port, request);
    if (first.outcome == kAcknowledgementReply) {
        if (first.value != 0) return {static_cast<int>(first.value)};
        if (first.number == param) return {ZEKO_OK};
    }
    return SecondWrite(Send(port, request), param);
}
