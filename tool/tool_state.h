// State the main dialog's handlers share, touched only by the window's thread, except the block
// buffers, which only the link worker's exchanges use. All zero at start.
#pragma once

#include "platform.h"

inline constexpr int kBlockBufferSize = 100;

extern BYTE g_blockRequest[kBlockBufferSize];  // payload of the next block command
extern BYTE g_blockReply[kBlockBufferSize];    // reply data of the last block command
extern BYTE g_bLearnVibration;                 // 1 while the sensor learns the vibration threshold
extern BYTE g_bLearnMovement;                  // 1 while it learns the movement threshold
extern BYTE g_nRecordTotal;                    // alarm records the sensor holds
extern BYTE g_nRecordIndex;                    // number of the last record asked for
extern int g_nPollFailures;                    // status polls failed in a row

// Back to zero, as at the program's start: each test starts from there.
void ResetToolState();
