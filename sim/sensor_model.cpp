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
            return identity_;
        case sensor::kParamVibrationAlarm:
            return std::bit_cast<std::int32_t>(vibrationThreshold_);
        case sensor::kParamMovementAlarm:
            return movementThreshold_;
        case sensor::kParamLearnVibration:
            return learningVibration_ ? sensor::kLearnStart : sensor::kLearnCancel;
        case sensor::kParamLearnMovement:
            return learningMovement_ ? sensor::kLearnStart : sensor::kLearnCancel;
        case sensor::kParamClearHistory:
            return 0;
        case sensor::kParamFactoryCalibration:
            return calibrations_;
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
            vibrationThreshold_ = g;
            return sensor::kWriteAccepted;
        }
        case sensor::kParamMovementAlarm:
            if (!MovementThresholdValid(value)) {
                return kRefusedRange;
            }
            movementThreshold_ = value;
            return sensor::kWriteAccepted;
        case sensor::kParamLearnVibration:
            return WriteLearning(true, value);
        case sensor::kParamLearnMovement:
            return WriteLearning(false, value);
        case sensor::kParamClearHistory:
            if (value != sensor::kCommandValue) {
                return kRefusedValue;
            }
            records_.clear();
            return sensor::kWriteAccepted;
        case sensor::kParamFactoryCalibration:
            if (value != sensor::kCommandValue) {
                return kRefusedValue;
            }
            ++calibrations_;
            return sensor::kWriteAccepted;
        default:
            return kRefusedUnknown;
    }
}

int SensorModel::WriteLearning(bool vibration, int value) {
    bool& learning = vibration ? learningVibration_ : learningMovement_;
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
        learningVibration_ = true;
        peakVibration_ = 0.0f;
    } else {
        learningMovement_ = true;
        peakMovement_ = 0;
    }
    LearnStep();
}

int SensorModel::SaveLearned(bool vibration) {
    if (vibration) {
        if (!VibrationThresholdValid(learnedVibration_)) {
            return kRefusedRange;
        }
        vibrationThreshold_ = learnedVibration_;
        learningVibration_ = false;
    } else {
        if (!MovementThresholdValid(learnedMovement_)) {
            return kRefusedRange;
        }
        movementThreshold_ = learnedMovement_;
        learningMovement_ = false;
    }
    return sensor::kWriteAccepted;
}

void SensorModel::LearnStep() {
    if (learningVibration_) {
        peakVibration_ = std::max(peakVibration_, vibration_);
        learnedVibration_ = std::min(peakVibration_ * kLearnVibrationFactor + kLearnVibrationMargin,
                                     sensor::kVibrationAlarmMax);
    }
    if (learningMovement_) {
        peakMovement_ = std::max(peakMovement_, std::abs(static_cast<int>(movement_)));
        learnedMovement_ = static_cast<std::int16_t>(
            std::min(peakMovement_ * kLearnMovementFactor + kLearnMovementMargin,
                     sensor::kMovementAlarmMax));
    }
}

void SensorModel::Advance(std::chrono::milliseconds elapsed) {
    const int steps = drift_.StepsIn(elapsed);
    if (!live_) {
        return;
    }
    for (int i = 0; i < steps; ++i) {
        vibration_ = drift_.NextVibration(vibration_);
        movement_ = drift_.NextMovement(movement_);
        temperature_ = drift_.NextTemperature(temperature_);
        LearnStep();
    }
}

void SensorModel::SetVibration(float g) {
    live_ = false;
    vibration_ = g;
}

void SensorModel::SetMovement(std::int16_t degreesPerSecond) {
    live_ = false;
    movement_ = degreesPerSecond;
}

void SensorModel::SetTemperature(std::uint8_t celsius) {
    live_ = false;
    temperature_ = celsius;
}

void SensorModel::SetLearnedVibration(float g) {
    live_ = false;
    learnedVibration_ = g;
}

void SensorModel::SetLearnedMovement(std::int16_t degreesPerSecond) {
    live_ = false;
    learnedMovement_ = degreesPerSecond;
}

void SensorModel::RaiseAlarm(Alarm alarm) {
    flags_ |= FlagOf(alarm);
    AlarmRecord record{nextRecordNumber_, RecordTypeOf(alarm), 0.0f, 0.0f};
    switch (alarm) {
        case Alarm::Vibration:
            // A raised alarm always shows a value beyond its threshold.
            record.firstValue = vibrationThreshold_;
            record.secondValue = std::max(vibration_, vibrationThreshold_ + 0.1f);
            break;
        case Alarm::Movement:
            record.firstValue = static_cast<float>(movementThreshold_);
            record.secondValue = static_cast<float>(
                std::max(std::abs(static_cast<int>(movement_)), movementThreshold_ + 12));
            break;
        case Alarm::Temperature:
            record.firstValue = kTemperatureLimit;
            record.secondValue = std::max(static_cast<float>(temperature_), kTemperatureLimit + 1);
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
    if (records_.size() == kMaxRecords) {
        records_.erase(records_.begin());
    }
    records_.push_back(record);
    nextRecordNumber_ = std::max(nextRecordNumber_, record.leadingWord + 1);
}

void SensorModel::SetRecords(std::vector<AlarmRecord> records) {
    records_.clear();
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
    PutBEFloat(block, sensor::kStatusVibration, vibration_);
    PutBE16(block, sensor::kStatusMovement, static_cast<std::uint16_t>(movement_));
    block[sensor::kStatusTemperature] = temperature_;
    block[sensor::kStatusFlags] = flags_;
    PutBEFloat(block, sensor::kStatusLearnedVibration, learnedVibration_);
    PutBE16(block, sensor::kStatusLearnedMovement, static_cast<std::uint16_t>(learnedMovement_));
    block[sensor::kStatusRecordCount] = static_cast<std::uint8_t>(records_.size());
    return block;
}

std::optional<RecordBytes> SensorModel::RecordBlock(int number) const {
    if (number < 1 || static_cast<std::size_t>(number) > records_.size()) {
        return std::nullopt;
    }
    return Encode(records_[static_cast<std::size_t>(number) - 1]);
}

}  // namespace sim
