// A port as the link talks to the sensor: opened with its line settings, events and buffers,
// then read parameter by parameter. ZEKO_initial and ZEKO_get use the link's own port; the scan
// uses ports of its own, one per COM port it asks.
#pragma once

#include <cstddef>

#include "comm_port.h"

// A parameter request's text, "P%d;" or "P%d=%d;", with room to spare.
inline constexpr std::size_t kParameterRequestSize = 50;

// What one attempt brought back: the protocol's outcome, with the echoed number and value.
struct ParameterReply {
    int outcome;
    int number = 0;
    long value = 0;
};

// One attempt: sends the request and sorts its reply; the error text is dropped.
ParameterReply AttemptParameter(CCommPort& port, const char* request);

bool IsAcceptedBaudRate(long baudRate);

// Opens COM<number> 8N1 at baudRate; false when the port cannot be opened.
bool OpenSensorPort(CCommPort& port, int number, long baudRate);

// A parameter read, up to two attempts: ZEKO_OK with *value, else ZEKO_get's code for the
// failure (ZEKO_LINK_LOST for no reply twice; the caller marks its link lost).
int ReadParameter(CCommPort& port, int param, long* value);

// The identity as ZEKO_initial reads it: the first read only wakes the line, the second one
// decides. ZEKO_OK with *identity, else ZEKO_NO_ANSWER.
int ReadIdentity(CCommPort& port, long* identity);
