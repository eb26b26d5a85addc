// The alarm sensor as the tool sees it from the serial line: its parameters, its status block,
// its alarm history and readings that wander with time. Pure: no I/O, no threads, no clock; time
// moves only through Advance, so a test sees the same sensor every run.
#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "alarm.h"
#include "alarm_record.h"
#include "reading_drift.h"
#include "request_parser.h"
#include "sensor_contract.h"

namespace sim {

using StatusBytes = std::array<std::uint8_t, sensor::kStatusBlockLength>;

class SensorModel {
public:
    // Result codes of a parameter write other than sensor::kWriteAccepted.
    static constexpr int kRefusedRange = 1;        // value outside the parameter's range
    static constexpr int kRefusedReadOnly = 2;     // the parameter cannot be written
    static constexpr int kRefusedUnknown = 3;      // no such parameter
    static constexpr int kRefusedValue = 4;        // a command parameter given a value it lacks
    static constexpr int kRefusedNotLearning = 5;  // save while that channel is not learning

    // Status bytes of a block reply other than 0.
    static constexpr std::uint8_t kLinkBadFrame = 1;       // type byte does not fit the command
    static constexpr std::uint8_t kCommandUnknown = 1;     // no such command
    static constexpr std::uint8_t kCommandNoRecord = 2;    // record number outside 1..count
    static constexpr std::uint8_t kCommandBadPayload = 3;  // payload of the wrong length

    static constexpr std::size_t kMaxRecords = 255;  // the count is one byte; the oldest go first

    // Factory settings, readings at rest and drifting, SampleRecords() in the history.
    SensorModel();

    // The line. Each request gets exactly one answer; a block answer has exactly the length the
    // frame's reply length byte asks for.
    std::vector<std::uint8_t> Answer(const Request& request);
    std::vector<std::uint8_t> AnswerText(std::span<const std::uint8_t> text);
    std::vector<std::uint8_t> AnswerBlock(std::span<const std::uint8_t> frame);

    // Parameters, as the text requests reach them.
    std::optional<std::int32_t> ReadParameter(std::int32_t parameter) const;
    int WriteParameter(std::int32_t parameter, std::int32_t value);

    // Time. While live, readings (and learned values while learning) drift with elapsed time.
    void Advance(std::chrono::milliseconds elapsed);
    void SetLive(bool live) { live_ = live; }
    bool Live() const { return live_; }

    // Setting a reading or a learned value stops the drift (SetLive(false)), so that it stays
    // exactly as set until SetLive(true).
    float Vibration() const { return vibration_; }
    void SetVibration(float g);
    std::int16_t Movement() const { return movement_; }
    void SetMovement(std::int16_t degreesPerSecond);
    std::uint8_t Temperature() const { return temperature_; }
    void SetTemperature(std::uint8_t celsius);
    float LearnedVibration() const { return learnedVibration_; }
    void SetLearnedVibration(float g);
    std::int16_t LearnedMovement() const { return learnedMovement_; }
    void SetLearnedMovement(std::int16_t degreesPerSecond);

    std::int32_t Identity() const { return identity_; }
    void SetIdentity(std::int32_t identity) { identity_ = identity; }
    float VibrationThreshold() const { return vibrationThreshold_; }
    void SetVibrationThreshold(float g) { vibrationThreshold_ = g; }
    int MovementThreshold() const { return movementThreshold_; }
    void SetMovementThreshold(int degreesPerSecond) { movementThreshold_ = degreesPerSecond; }
    bool LearningVibration() const { return learningVibration_; }
    bool LearningMovement() const { return learningMovement_; }
    int Calibrations() const { return calibrations_; }

    // Alarm flags, sensor::kFlag* bits.
    std::uint8_t Flags() const { return flags_; }
    void SetFlags(std::uint8_t flags) { flags_ = flags; }
    // Sets the alarm's flag and records it, as the sensor does when a limit is crossed.
    void RaiseAlarm(Alarm alarm);
    void ClearAlarms() { flags_ = 0; }

    // The alarm history; record 1 is the oldest. Records are kept exactly as given; RaiseAlarm
    // numbers its records in the leading word, counting on from the highest number seen.
    const std::vector<AlarmRecord>& Records() const { return records_; }
    void AddRecord(const AlarmRecord& record);
    void SetRecords(std::vector<AlarmRecord> records);
    void ClearRecords() { records_.clear(); }
    // The leading word RaiseAlarm would give its next record.
    std::uint32_t NextRecordNumber() const { return nextRecordNumber_; }
    // A few records of every type, numbered from 1: the history a sensor brings from the field.
    static std::vector<AlarmRecord> SampleRecords();

    StatusBytes StatusBlock() const;
    // Record `number` counted from 1, or nothing when there is no such record.
    std::optional<RecordBytes> RecordBlock(int number) const;

private:
    int WriteLearning(bool vibration, int value);
    void StartLearning(bool vibration);
    int SaveLearned(bool vibration);
    void LearnStep();
    std::vector<std::uint8_t> BlockData(std::uint8_t command, std::span<const std::uint8_t> payload,
                                        std::uint8_t& status) const;

    std::int32_t identity_ = sensor::kIdentity;
    float vibrationThreshold_ = 0.5f;
    int movementThreshold_ = 100;
    bool learningVibration_ = false;
    bool learningMovement_ = false;
    float peakVibration_ = 0.0f;
    int peakMovement_ = 0;
    int calibrations_ = 0;

    bool live_ = true;
    ReadingDrift drift_;
    float vibration_ = 0.08f;
    std::int16_t movement_ = 0;
    std::uint8_t temperature_ = 25;
    float learnedVibration_ = 0.0f;
    std::int16_t learnedMovement_ = 0;

    std::uint8_t flags_ = 0;
    std::vector<AlarmRecord> records_;
    std::uint32_t nextRecordNumber_ = 1;
};

}  // namespace sim
