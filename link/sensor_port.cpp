#include "sensor_port.h"

#include "comm_port.h"
#include "os/platform.h"
#include "parameter_attempts.h"
#include "sensor_contract.h"
#include "zeko_api.h"

namespace {

constexpr long kAcceptedBaudRates[] = {9600, 19200, 38400, 57600, 115200};
constexpr char kParity = 'N';
constexpr int kDataBits = 8;
constexpr int kStopBits = 1;
constexpr DWORD kEventMask = EV_RXCHAR | EV_RXFLAG;
constexpr int kWriteBufferSize = 512;

}  // namespace

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

int ReadIdentity(CCommPort& port, long* identity) {
    ReadParameter(port, sensor::kParamIdentity, identity);
    return ReadParameter(port, sensor::kParamIdentity, identity).code == ZEKO_OK ? ZEKO_OK
                                                                                 : ZEKO_NO_ANSWER;
}
