#include "sensor_port.h"

#include <cstdio>

#include "os/platform.h"
#include "parameter_protocol.h"
#include "sensor_contract.h"
#include "zeko_api.h"

namespace {

constexpr long kAcceptedBaudRates[] = {9600, 19200, 38400, 57600, 115200};
constexpr char kParity = 'N';
constexpr int kDataBits = 8;
constexpr int kStopBits = 1;
constexpr DWORD kEventMask = EV_RXCHAR | EV_RXFLAG;
constexpr int kWriteBufferSize = 512;
int SecondAttempt(CCommPort& port, const char* request, long* value) {
    const ParameterReply reply = AttemptParameter(port, request);
    switch (reply.outcome) {
        case kValueReply:
            *value = reply.value;
            return ZEKO_OK;
        case kAcknowledgementReply:
            return ZEKO_WRONG_REPLY;
        case kTimedOutReply:
            return ZEKO_LINK_LOST;
        case kErrorTextReply:
            return ZEKO_GET_TEXT;
        default:
            return ZEKO_MALFORMED;
    }
}

}  // namespace

ParameterReply AttemptParameter(CCommPort& port, const char* request) {
    ParameterReply reply{};
    char errorText[kErrorTextCapacity];
    reply.outcome = ExchangeParameter(port, request, &reply.number, &reply.value, errorText);
    return reply;
}

bool IsAcceptedBaudRate(long baudRate) {
    for (long accepted : kAcceptedBaudRates) {
        if (accepted == baudRate) return true;
    }
    return false;
}

bool OpenSensorPort(CCommPort& port, int number, long baudRate) {
    return port.Open(number, static_cast<DWORD>(baudRate), kParity, kDataBits, kStopBits,
                     kEventMask, kWriteBufferSize) == 1;
}

int ReadParameter(CCommPort& port, int param, long* value) {
    char request[kParameterRequestSize];
    std::snprintf(request, sizeof request, "P%d;", param);
    const ParameterReply first = AttemptParameter(port, request);
    if (first.outcome == kValueReply && first.number == param) {
        *value = first.value;
        return ZEKO_OK;
    }
    return SecondAttempt(port, request, value);
}

int ReadIdentity(CCommPort& port, long* identity) {
    ReadParameter(port, sensor::kParamIdentity, identity);
    return ReadParameter(port, sensor::kParamIdentity, identity) == ZEKO_OK ? ZEKO_OK
                                                                            : ZEKO_NO_ANSWER;
}
