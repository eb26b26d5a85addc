// The ASCII parameter protocol: one request text ending in ";", one reply text ending in ";".
#pragma once

class CCommPort;

// Outcomes of one parameter exchange.
enum ParameterOutcome {
    kValueReply = 0,            // "P<n>=<value>;"
    kAcknowledgementReply = 1,  // "P<n>R?<code>;"
    kTimedOutReply = 2,         // nothing complete in time
    kMalformedReply = 3,
    kErrorTextReply = 4,  // "P<n>=<text>;"
};

inline constexpr int kErrorTextCapacity = 21;  // up to 20 bytes of text and the closing ";"

// Sends `request` in terminator mode on `port` (or the link's port) and sorts the reply.
// `number` and `value` are written only where the reply carries them; `errorText` gets the text
// and a ";", no NUL.
int ExchangeParameter(CCommPort& port, const char* request, int* number, long* value,
                      char* errorText);
int ExchangeParameter(const char* request, int* number, long* value, char* errorText);

// Sorts a reply at the start of a 100-byte receive buffer into any outcome but the timed-out one;
// reads at most its first 74 bytes.
int ParseParameterReply(const unsigned char* reply, int* number, long* value, char* errorText);
