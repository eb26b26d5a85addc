#include "tool_state.h"

#include <algorithm>

BYTE g_blockRequest[kBlockBufferSize];
BYTE g_blockReply[kBlockBufferSize];
BYTE g_bLearnVibration;
BYTE g_bLearnMovement;
BYTE g_nRecordTotal;
BYTE g_nRecordIndex;
int g_nPollFailures;

void ResetToolState() {
    std::ranges::fill(g_blockRequest, 0);
    std::ranges::fill(g_blockReply, 0);
    g_bLearnVibration = 0;
    g_bLearnMovement = 0;
    g_nRecordTotal = 0;
    g_nRecordIndex = 0;
    g_nPollFailures = 0;
}
