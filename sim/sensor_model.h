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
    void SetLive(bool live) { m_live = live; }
    bool Live() const { return m_live; }

    // Setting a reading or a learned value stops the drift (SetLive(false)), so that it stays
    // exactly as set until SetLive(true).
    float Vibration() const { return m_vibration; }
    void SetVibration(float g) { Hold(m_vibration, g); }
    std::int16_t Movement() const { return m_movement; }
    void SetMovement(std::int16_t degreesPerSecond) { Hold(m_movement, degreesPerSecond); }
    std::uint8_t Temperature() const { return m_temperature; }
    void SetTemperature(std::uint8_t celsius) { Hold(m_temperature, celsius); }
    float LearnedVibration() const { return m_learnedVibration; }
    void SetLearnedVibration(float g) { Hold(m_learnedVibration, g); }
    std::int16_t LearnedMovement() const { return m_learnedMovement; }
    void SetLearnedMovement(std::int16_t degreesPerSecond) {
        Hold(m_learnedMovement, degreesPerSecond);
    }

    std::int32_t Identity() const { return m_identity; }
    void SetIdentity(std::int32_t identity) { m_identity = identity; }
    float VibrationThreshold() const { return m_vibrationThreshold; }
    void SetVibrationThreshold(float g) { m_vibrationThreshold = g; }
    int MovementThreshold() const { return m_movementThreshold; }
    void SetMovementThreshold(int degreesPerSecond) { m_movementThreshold = degreesPerSecond; }
    bool LearningVibration() const { return m_learningVibration; }
    bool LearningMovement() const { return m_learningMovement; }
    int Calibrations() const { return m_calibrations; }

    // Alarm flags, sensor::kFlag* bits.
    std::uint8_t Flags() const { return m_flags; }
    void SetFlags(std::uint8_t flags) { m_flags = flags; }
    // Sets the alarm's flag and records it, as the sensor does when a limit is crossed.
    void RaiseAlarm(Alarm alarm);
    void ClearAlarms() { m_flags = 0; }

    // The alarm history; record 1 is the oldest. Records are kept exactly as given; RaiseAlarm
    // numbers its records in the leading word, counting on from the highest number seen.
    const std::vector<AlarmRecord>& Records() const { return m_records; }
    void AddRecord(const AlarmRecord& record);
    void SetRecords(std::vector<AlarmRecord> records);
    void ClearRecords() { m_records.clear(); }
    // The leading word RaiseAlarm would give its next record.
    std::uint32_t NextRecordNumber() const { return m_nextRecordNumber; }
    // A few records of every type, numbered from 1: the history a sensor brings from the field.
    static std::vector<AlarmRecord> SampleRecords();

    StatusBytes StatusBlock() const;
    // Record `number` counted from 1, or nothing when there is no such record.
    std::optional<RecordBytes> RecordBlock(int number) const;

private:
    friend struct SensorModelState;  // its bytes for a model in another process

    // Sets a drifting value and stops the drift.
    template <typename T>
    void Hold(T& drifting, T value) {
        m_live = false;
        drifting = value;
    }
    int WriteLearning(bool vibration, int value);
    void StartLearning(bool vibration);
    int SaveLearned(bool vibration);
    void LearnStep();
    std::vector<std::uint8_t> BlockData(std::uint8_t command, std::span<const std::uint8_t> payload,
                                        std::uint8_t& status) const;

    std::int32_t m_identity = sensor::kIdentity;
    float m_vibrationThreshold = 0.5f;
    int m_movementThreshold = 100;
    bool m_learningVibration = false;
    bool m_learningMovement = false;
    float m_peakVibration = 0.0f;
    int m_peakMovement = 0;
    int m_calibrations = 0;

    bool m_live = true;
    ReadingDrift m_drift;
    float m_vibration = 0.08f;
    std::int16_t m_movement = 0;
    std::uint8_t m_temperature = 25;
    float m_learnedVibration = 0.0f;
    std::int16_t m_learnedMovement = 0;

    std::uint8_t m_flags = 0;
    std::vector<AlarmRecord> m_records;
    std::uint32_t m_nextRecordNumber = 1;
};

}  // namespace sim
