#include "tool_state.h"

BYTE g_blockRequest[kBlockBufferSize];
BYTE g_blockReply[kBlockBufferSize];
BYTE g_bLearnVibration;
BYTE g_bLearnMovement;
BYTE g_nRecordTotal;
BYTE g_nRecordIndex;
int g_nPollFailures;
