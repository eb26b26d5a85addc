// ZEKO_initial, ZEKO_close, ZEKO_reconnect, ZEKO_get and ZEKO_set: opening and verifying the
// link, and reading and writing the sensor's parameters with up to two attempts each.
#include "link_state.h"
#include "os/platform.h"
#include "parameter_attempts.h"
#include "sensor_port.h"
#include "zeko_api.h"

namespace {

constexpr DWORD kVerifiedReplyTimeout = 500;

// A call whose last attempt went unanswered marks the link lost.
int Finish(const ParameterResult& result) {
    if (result.unanswered) g_nConnected = 0;
    return result.code;
}

}  // namespace

extern "C" {

int ZEKO_initial(int port, long id, long baudRate) {
    EnsureAccessLock();
    // Reopening replaces the port, its events and its buffers: never under another exchange.
    AccessLockHolder lock;
    if (const int refused = lock.Take()) return refused;
    g_nConnected = 0;
    if (!IsAcceptedBaudRate(baudRate)) return ZEKO_BAD_ARGUMENT;
    if (!OpenSensorPort(g_commPort, port, baudRate)) return ZEKO_NO_PORT;
    g_nOpening = 1;
    long identity = 0;
    if (ReadIdentity(g_commPort, &identity) != ZEKO_OK) {
        g_commPort.Close();
        g_nOpening = 0;
        return ZEKO_NO_ANSWER;
    }
    if (identity == id) {
        g_nConnected = 1;
        g_commPort.SetReplyTimeout(kVerifiedReplyTimeout);
        g_nOpening = 0;
        return ZEKO_OK;
    }
    g_nOpening = 0;
    return ZEKO_WRONG_IDENTITY;
}

int ZEKO_close(void) {
    AccessLockHolder lock;
    if (const int refused = lock.Take()) return refused;
    g_commPort.Close();
    lock.Discard();
    g_nConnected = 0;
    return ZEKO_OK;
}

int ZEKO_reconnect(void) {
    g_nConnected = 1;
    return ZEKO_OK;
}

int ZEKO_get(int param, long* value) {
    if (value == nullptr) return ZEKO_BAD_ARGUMENT;
    *value = 0;
    if (!LinkReady()) return ZEKO_NOT_READY;
    AccessLockHolder lock;
    if (const int refused = lock.Take()) return refused;
    return Finish(ReadParameter(g_commPort, param, value));
}

int ZEKO_set(int param, long value) {
    if (!LinkReady()) return ZEKO_NOT_READY;
    AccessLockHolder lock;
    if (const int refused = lock.Take()) return refused;
    return Finish(WriteParameter(g_commPort, param, value));
}

}  // extern "C"
