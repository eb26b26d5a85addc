// A port as the link talks to the sensor: opened with its line settings, events and buffers,
// and asked for the sensor's identity. ZEKO_initial uses the link's own port; the scan uses ports
// of its own, one per COM port it asks.
#pragma once

class CCommPort;

bool IsAcceptedBaudRate(long baudRate);

// Opens COM<number> 8N1 at baudRate; false when the port cannot be opened.
bool OpenSensorPort(CCommPort& port, int number, long baudRate);

// The identity as ZEKO_initial reads it: the first read only wakes the line, the second one
// decides. ZEKO_OK with *identity, else ZEKO_NO_ANSWER.
int ReadIdentity(CCommPort& port, long* identity);
