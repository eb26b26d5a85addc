// The attempts policy of parameter reads and writes, in one place for ZEKO_get, ZEKO_set,
// ZEKO_initial and the scan: up to two attempts each, and what each attempt's reply means.
#pragma once

class CCommPort;

// What the attempts gave: ZEKO_get's or ZEKO_set's result, and whether the last attempt went
// unanswered, which marks the link lost (a sensor's own write code 41 does not).
struct ParameterResult {
    int code;
    bool unanswered = false;
};

// A read: a value reply for `param` at the first attempt, else any value reply at the second.
// *value is written only when the code is ZEKO_OK.
ParameterResult ReadParameter(CCommPort& port, int param, long* value);

// A write of the value's low 32 bits: the first attempt ends it with a nonzero code, or with 0
// for `param`; else the second attempt's acknowledgement for `param` decides.
ParameterResult WriteParameter(CCommPort& port, int param, long value);
