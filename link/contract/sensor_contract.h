// What the alarm sensor understands and answers: shared by the link library, the tool and the
// simulated sensor so that all three agree on one set of numbers.
#pragma once

#include <cstddef>
#include <cstdint>

namespace sensor {

// Line settings.
inline constexpr long kBaudRate = 115200;

// Parameter 8 holds the sensor's identity.
inline constexpr int kParamIdentity = 8;
inline constexpr long kIdentity = 19281;  // 0x4B51

// Alarm thresholds: 10 is a float's bit pattern in G (0 to 1), 11 whole degrees/s (0 to 200).
inline constexpr int kParamVibrationAlarm = 10;
inline constexpr int kParamMovementAlarm = 11;
inline constexpr float kVibrationAlarmMax = 1.0f;
inline constexpr int kMovementAlarmMax = 200;

// Threshold learning control, one parameter per channel.
inline constexpr int kParamLearnVibration = 12;
inline constexpr int kParamLearnMovement = 13;
inline constexpr int kLearnCancel = 0;
inline constexpr int kLearnStart = 1;
inline constexpr int kLearnSave = 2;

// Writing 1 erases the stored alarm history; writing 1 to 17 starts factory calibration.
inline constexpr int kParamClearHistory = 16;
inline constexpr int kParamFactoryCalibration = 17;
inline constexpr int kCommandValue = 1;

// The result code of an accepted parameter write.
inline constexpr int kWriteAccepted = 0;

// Block command 10: the status block, no payload.
inline constexpr unsigned kBlockStatus = 10;
inline constexpr int kStatusBlockLength = 15;
inline constexpr std::size_t kStatusVibration = 0;         // float, big-endian bits, G
inline constexpr std::size_t kStatusMovement = 4;          // 16-bit, degrees/s
inline constexpr std::size_t kStatusTemperature = 6;       // unsigned byte, degrees C
inline constexpr std::size_t kStatusFlags = 7;             // alarm flag bits below
inline constexpr std::size_t kStatusLearnedVibration = 8;  // float, big-endian bits, G
inline constexpr std::size_t kStatusLearnedMovement = 12;  // 16-bit, degrees/s
inline constexpr std::size_t kStatusRecordCount = 14;      // unsigned byte

// Alarm flag bits of the status block, one per lamp.
inline constexpr std::uint8_t kFlagVibration = 0x01;
inline constexpr std::uint8_t kFlagMovement = 0x02;
inline constexpr std::uint8_t kFlagTemperature = 0x04;
inline constexpr std::uint8_t kFlagTamper = 0x08;
inline constexpr std::uint8_t kFlagVoltage = 0x10;

// Block command 11: one alarm record; the payload is the record number (1 to 255).
inline constexpr unsigned kBlockAlarmRecord = 11;
inline constexpr int kAlarmRecordPayloadLength = 1;
inline constexpr int kAlarmRecordLength = 16;
inline constexpr std::size_t kRecordLeadingWord = 0;   // 32-bit, not interpreted
inline constexpr std::size_t kRecordTypeFlags = 4;     // 32-bit, bits 0 to 5 below
inline constexpr std::size_t kRecordFirstValue = 8;    // float, big-endian bits
inline constexpr std::size_t kRecordSecondValue = 12;  // float, big-endian bits

// Alarm types of a record; the lowest set bit names the record's type.
inline constexpr std::uint32_t kRecordVibration = 1u << 0;
inline constexpr std::uint32_t kRecordMovement = 1u << 1;
inline constexpr std::uint32_t kRecordOverTemperature = 1u << 2;
inline constexpr std::uint32_t kRecordTamper = 1u << 3;
inline constexpr std::uint32_t kRecordLowVoltage = 1u << 4;
inline constexpr std::uint32_t kRecordEnergy = 1u << 5;

// Block frames: type byte 3 for command codes up to 200, 1 above; then the frame length, the
// reply length, the command code and the payload.
inline constexpr std::uint8_t kFrameTypeLow = 3;
inline constexpr std::uint8_t kFrameTypeHigh = 1;
inline constexpr unsigned kFrameTypeLowLimit = 200;
inline constexpr std::size_t kFrameHeaderLength = 4;
inline constexpr std::size_t kReplyStatusLength = 2;

}  // namespace sensor
