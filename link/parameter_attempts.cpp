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

// What a second attempt's reply means when it is not the kind the request waits for: a read
// or write refused with an error text gives `errorTextCode`.
ParameterResult SecondFailed(const Attempt& attempt, int errorTextCode) {
    switch (attempt.outcome) {
        case kValueReply:
        case kAcknowledgementReply:
            return {ZEKO_WRONG_REPLY};
        case kTimedOutReply:
            return {ZEKO_LINK_LOST, true};
        case kErrorTextReply:
            return {errorTextCode};
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
    // The second attempt takes any value reply, whatever parameter it names.
    const Attempt second = Send(port, request);
    if (second.outcome == kValueReply) {
        *value = second.value;
        return {ZEKO_OK};
    }
    return SecondFailed(second, ZEKO_GET_TEXT);
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
    // Only an acknowledgement for `param` carries the second attempt's code.
    const Attempt second = Send(port, request);
    if (second.outcome == kAcknowledgementReply) {
        return {second.number == param ? static_cast<int>(second.value) : ZEKO_MALFORMED};
    }
    return SecondFailed(second, ZEKO_SET_TEXT);
}
