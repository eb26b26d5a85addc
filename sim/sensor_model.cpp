#include "sensor_model.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdlib>
#include <string>

#include "big_endian.h"
#include "text_request.h"

namespace sim {
namespace {

// Limits the sensor records alongside temperature and supply alarms.
constexpr float kTemperatureLimit = 70.0f;
constexpr float kLowVoltageLimit = 10.5f;
constexpr float kLowVoltageValue = 9.8f;

// Learning proposes a threshold a margin above the largest reading seen while it runs.
constexpr float kLearnVibrationFactor = 1.5f;
constexpr float kLearnVibrationMargin = 0.02f;
constexpr int kLearnMovementFactor = 2;
constexpr int kLearnMovementMargin = 5;

std::vector<std::uint8_t> Bytes(const std::string& text) { return {text.begin(), text.end()}; }

bool VibrationThresholdValid(float g) { return g >= 0.0f && g <= sensor::kVibrationAlarmMax; }

bool MovementThresholdValid(int value) { return value >= 0 && value <= sensor::kMovementAlarmMax; }

}  // namespace

SensorModel::SensorModel() { SetRecords(SampleRecords()); }

std::vector<std::uint8_t> SensorModel::Answer(const Request& request) {
    return request.kind == Request::Kind::Text ? AnswerText(request.bytes)
                                               : AnswerBlock(request.bytes);
}

std::vector<std::uint8_t> SensorModel::AnswerText(std::span<const std::uint8_t> text) {
    const auto request = ParseTextRequest(text);
    if (!request) {
        return Bytes("P=ERR;");
    }
    const std::string number = "P" + std::to_string(request->parameter);
    if (request->value) {
        const int result = WriteParameter(request->parameter, *request->value);
        return Bytes(number + "R=" + std::to_string(result) + ";");
    }
    const auto value = ReadParameter(request->parameter);
    return Bytes(number + "=" + (value ? std::to_string(*value) : std::string("ERR")) + ";");
}

std::vector<std::uint8_t> SensorModel::AnswerBlock(std::span<const std::uint8_t> frame) {
    constexpr std::size_t kReplyLengthAt = 2;
    constexpr std::size_t kCommandAt = 3;
    if (frame.size() <= kReplyLengthAt) {
        return {};
    }
    std::vector<std::uint8_t> reply(static_cast<std::size_t>(frame[kReplyLengthAt]) + 1, 0);
    const bool whole = frame.size() >= sensor::kFrameHeaderLength &&
                       frame.size() == static_cast<std::size_t>(frame[1]) + 1;
    const std::uint8_t command = whole ? frame[kCommandAt] : 0;
    const std::uint8_t type =
        command <= sensor::kFrameTypeLowLimit ? sensor::kFrameTypeLow : sensor::kFrameTypeHigh;
    if (!whole || frame[0] != type) {
        reply[0] = kLinkBadFrame;
        return reply;
    }
    std::uint8_t status = 0;
    const auto data = BlockData(command, frame.subspan(sensor::kFrameHeaderLength), status);
    if (reply.size() > 1) {
        reply[1] = status;
    }
    // A caller asking for more than the block holds gets zeros after it, one asking for less
    // gets its start.
    for (std::size_t i = 0; i < data.size() && i + sensor::kReplyStatusLength < reply.size(); ++i) {
        reply[i + sensor::kReplyStatusLength] = data[i];
    }
    return reply;
}

std::vector<std::uint8_t> SensorModel::BlockData(std::uint8_t command,
                                                 std::span<const std::uint8_t> payload,
                                                 std::uint8_t& status) const {
    if (command == sensor::kBlockStatus) {
        const auto block = StatusBlock();
        return {block.begin(), block.end()};
    }
    if (command == sensor::kBlockAlarmRecord) {
        if (payload.size() != sensor::kAlarmRecordPayloadLength) {
            status = kCommandBadPayload;
            return {};
        }
        const auto record = RecordBlock(payload[0]);
        if (!record) {
            status = kCommandNoRecord;
            return {};
        }
        return {record->begin(), record->end()};
    }
    status = kCommandUnknown;
    return {};
}

std::optional<std::int32_t> SensorModel::ReadParameter(std::int32_t parameter) const {
    switch (parameter) {
        case sensor::kParamIdentity:
            return m_identity;
        case sensor::kParamVibrationAlarm:
            return std::bit_cast<std::int32_t>(m_vibrationThreshold);
        case sensor::kParamMovementAlarm:
            return m_movementThreshold;
        case sensor::kParamLearnVibration:
            return m_learningVibration ? sensor::kLearnStart : sensor::kLearnCancel;
        case sensor::kParamLearnMovement:
            return m_learningMovement ? sensor::kLearnStart : sensor::kLearnCancel;
        case sensor::kParamClearHistory:
            return 0;
        case sensor::kParamFactoryCalibration:
            return m_calibrations;
        default:
            return std::nullopt;
    }
}

int SensorModel::WriteParameter(std::int32_t parameter, std::int32_t value) {
    switch (parameter) {
        case sensor::kParamIdentity:
            return kRefusedReadOnly;
        case sensor::kParamVibrationAlarm: {
            const float g = std::bit_cast<float>(value);
            if (!VibrationThresholdValid(g)) {
                return kRefusedRange;
            }
            m_vibrationThreshold = g;
            return sensor::kWriteAccepted;
        }
        case sensor::kParamMovementAlarm:
            if (!MovementThresholdValid(value)) {
                return kRefusedRange;
            }
            m_movementThreshold = value;
            return sensor::kWriteAccepted;
        case sensor::kParamLearnVibration:
            return WriteLearning(true, value);
        case sensor::kParamLearnMovement:
            return WriteLearning(false, value);
        case sensor::kParamClearHistory:
            if (value != sensor::kCommandValue) {
                return kRefusedValue;
            }
            m_records.clear();
            return sensor::kWriteAccepted;
        case sensor::kParamFactoryCalibration:
            if (value != sensor::kCommandValue) {
                return kRefusedValue;
            }
            ++m_calibrations;
            return sensor::kWriteAccepted;
        default:
            return kRefusedUnknown;
    }
}

int SensorModel::WriteLearning(bool vibration, int value) {
    bool& learning = vibration ? m_learningVibration : m_learningMovement;
    switch (value) {
        case sensor::kLearnStart:
            StartLearning(vibration);
            return sensor::kWriteAccepted;
        case sensor::kLearnSave:
            if (!learning) {
                return kRefusedNotLearning;
            }
            return SaveLearned(vibration);
        case sensor::kLearnCancel:
            learning = false;
            return sensor::kWriteAccepted;
        default:
            return kRefusedValue;
    }
}

void SensorModel::StartLearning(bool vibration) {
    if (vibration) {
        m_learningVibration = true;
        m_peakVibration = 0.0f;
    } else {
        m_learningMovement = true;
        m_peakMovement = 0;
    }
    LearnStep();
}

int SensorModel::SaveLearned(bool vibration) {
    if (vibration) {
        if (!VibrationThresholdValid(m_learnedVibration)) {
            return kRefusedRange;
        }
        m_vibrationThreshold = m_learnedVibration;
        m_learningVibration = false;
    } else {
        if (!MovementThresholdValid(m_learnedMovement)) {
            return kRefusedRange;
        }
        m_movementThreshold = m_learnedMovement;
        m_learningMovement = false;
    }
    return sensor::kWriteAccepted;
}

void SensorModel::LearnStep() {
    if (m_learningVibration) {
        m_peakVibration = std::max(m_peakVibration, m_vibration);
        m_learnedVibration =
            std::min(m_peakVibration * kLearnVibrationFactor + kLearnVibrationMargin,
                     sensor::kVibrationAlarmMax);
    }
    if (m_learningMovement) {
        m_peakMovement = std::max(m_peakMovement, std::abs(static_cast<int>(m_movement)));
        m_learnedMovement = static_cast<std::int16_t>(
            std::min(m_peakMovement * kLearnMovementFactor + kLearnMovementMargin,
                     sensor::kMovementAlarmMax));
    }
}

void SensorModel::Advance(std::chrono::milliseconds elapsed) {
    const int steps = m_drift.StepsIn(elapsed);
    if (!m_live) {
        return;
    }
    for (int i = 0; i < steps; ++i) {
        m_vibration = m_drift.NextVibration(m_vibration);
        m_movement = m_drift.NextMovement(m_movement);
        m_temperature = m_drift.NextTemperature(m_temperature);
        LearnStep();
    }
}

void SensorModel::RaiseAlarm(Alarm alarm) {
    m_flags |= FlagOf(alarm);
    AlarmRecord record{m_nextRecordNumber, RecordTypeOf(alarm), 0.0f, 0.0f};
    switch (alarm) {
        case Alarm::Vibration:
            // A raised alarm always shows a value beyond its threshold.
            record.firstValue = m_vibrationThreshold;
            record.secondValue = std::max(m_vibration, m_vibrationThreshold + 0.1f);
            break;
        case Alarm::Movement:
            record.firstValue = static_cast<float>(m_movementThreshold);
            record.secondValue = static_cast<float>(
                std::max(std::abs(static_cast<int>(m_movement)), m_movementThreshold + 12));
            break;
        case Alarm::Temperature:
            record.firstValue = kTemperatureLimit;
            record.secondValue = std::max(static_cast<float>(m_temperature), kTemperatureLimit + 1);
            break;
        case Alarm::Tamper:
            break;
        case Alarm::Voltage:
            record.firstValue = kLowVoltageLimit;
            record.secondValue = kLowVoltageValue;
            break;
    }
    AddRecord(record);
}

void SensorModel::AddRecord(const AlarmRecord& record) {
    if (m_records.size() == kMaxRecords) {
        m_records.erase(m_records.begin());
    }
    m_records.push_back(record);
    m_nextRecordNumber = std::max(m_nextRecordNumber, record.leadingWord + 1);
}

void SensorModel::SetRecords(std::vector<AlarmRecord> records) {
    m_records.clear();
    const std::size_t skip = records.size() > kMaxRecords ? records.size() - kMaxRecords : 0;
    for (std::size_t i = skip; i < records.size(); ++i) {
        AddRecord(records[i]);
    }
}

std::vector<AlarmRecord> SensorModel::SampleRecords() {
    const std::vector<AlarmRecord> onePass = {
        {0, sensor::kRecordVibration, 0.5f, 0.62f},
        {0, sensor::kRecordMovement, 100.0f, 124.0f},
        {0, sensor::kRecordOverTemperature, kTemperatureLimit, 72.0f},
        {0, sensor::kRecordTamper, 0.0f, 0.0f},
        {0, sensor::kRecordLowVoltage, kLowVoltageLimit, kLowVoltageValue},
        {0, sensor::kRecordEnergy, 12.5f, 0.0f},
    };
    std::vector<AlarmRecord> records;
    for (int pass = 0; pass < 2; ++pass) {
        for (AlarmRecord record : onePass) {
            record.leadingWord = static_cast<std::uint32_t>(records.size() + 1);
            record.secondValue += static_cast<float>(pass) * 0.25f;
            records.push_back(record);
        }
    }
    return records;
}

StatusBytes SensorModel::StatusBlock() const {
    StatusBytes block{};
    PutBEFloat(block, sensor::kStatusVibration, m_vibration);
    PutBE16(block, sensor::kStatusMovement, static_cast<std::uint16_t>(m_movement));
    block[sensor::kStatusTemperature] = m_temperature;
    block[sensor::kStatusFlags] = m_flags;
    PutBEFloat(block, sensor::kStatusLearnedVibration, m_learnedVibration);
    PutBE16(block, sensor::kStatusLearnedMovement, static_cast<std::uint16_t>(m_learnedMovement));
    block[sensor::kStatusRecordCount] = static_cast<std::uint8_t>(m_records.size());
    return block;
}

std::optional<RecordBytes> SensorModel::RecordBlock(int number) const {
    if (number < 1 || static_cast<std::size_t>(number) > m_records.size()) {
        return std::nullopt;
    }
    return Encode(m_records[static_cast<std::size_t>(number) - 1]);
}

}  // namespace sim
