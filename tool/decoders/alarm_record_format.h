// An alarm record of the sensor as one line of the history view.
#pragma once

#include "cstring.h"
#include "platform.h"

// The history line of record `number` from its 16 reply bytes, without a line end. The lowest
// of the six type bits the record carries picks the row; with none of them the line is empty.
CString FormatAlarmRecord(int number, const BYTE* record);
