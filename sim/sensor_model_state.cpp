#include "sensor_model_state.h"

#include <bit>
#include <type_traits>
#include <utility>

namespace sim {
namespace {

// Fixed widths, least significant byte first.
class Writer {
public:
    template <typename T>
    void Put(T value) {
        const auto bits = static_cast<std::uint64_t>(ToBits(value));
        for (std::size_t i = 0; i < sizeof(T); ++i) {
            m_bytes.push_back(static_cast<std::uint8_t>(bits >> (8 * i)));
        }
    }
    std::vector<std::uint8_t> Bytes() && { return std::move(m_bytes); }

private:
    template <typename T>
    static auto ToBits(T value) {
        if constexpr (std::is_same_v<T, float>) {
            return std::bit_cast<std::uint32_t>(value);
        } else if constexpr (std::is_same_v<T, bool>) {
            return std::uint8_t{value};
        } else {
            return static_cast<std::make_unsigned_t<T>>(value);
        }
    }

    std::vector<std::uint8_t> m_bytes;
};

class Reader {
public:
    explicit Reader(std::span<const std::uint8_t> bytes) : m_bytes(bytes) {}

    template <typename T>
    void Get(T& value) {
        if (m_bytes.size() - m_at < sizeof(T)) {
            m_failed = true;
            return;
        }
        std::uint64_t bits = 0;
        for (std::size_t i = 0; i < sizeof(T); ++i)
            bits |= std::uint64_t{m_bytes[m_at++]} << (8 * i);
        if constexpr (std::is_same_v<T, float>) {
            value = std::bit_cast<float>(static_cast<std::uint32_t>(bits));
        } else {
            value = static_cast<T>(bits);
        }
    }
    bool Done() const { return !m_failed && m_at == m_bytes.size(); }
    bool Failed() const { return m_failed; }

private:
    std::span<const std::uint8_t> m_bytes;
    std::size_t m_at = 0;
    bool m_failed = false;
};

}  // namespace

template <typename Model, typename Visit>
void SensorModelState::Fields(Model& m, Visit&& visit) {
    visit(m.m_identity);
    visit(m.m_vibrationThreshold);
    visit(m.m_movementThreshold);
    visit(m.m_learningVibration);
    visit(m.m_learningMovement);
    visit(m.m_peakVibration);
    visit(m.m_peakMovement);
    visit(m.m_calibrations);
    visit(m.m_live);
    visit(m.m_vibration);
    visit(m.m_movement);
    visit(m.m_temperature);
    visit(m.m_learnedVibration);
    visit(m.m_learnedMovement);
    visit(m.m_flags);
    visit(m.m_nextRecordNumber);
}

std::vector<std::uint8_t> SensorModelState::Save(const SensorModel& model) {
    Writer out;
    Fields(model, [&](const auto& field) { out.Put(field); });
    out.Put(static_cast<std::uint32_t>(model.m_records.size()));
    for (const AlarmRecord& record : model.m_records) {
        out.Put(record.leadingWord);
        out.Put(record.typeFlags);
        out.Put(record.firstValue);
        out.Put(record.secondValue);
    }
    return std::move(out).Bytes();
}

bool SensorModelState::Load(SensorModel& model, std::span<const std::uint8_t> bytes) {
    SensorModel loaded = model;  // keeps the drift
    Reader in(bytes);
    Fields(loaded, [&](auto& field) { in.Get(field); });
    std::uint32_t count = 0;
    in.Get(count);
    if (in.Failed() || count > SensorModel::kMaxRecords) return false;
    loaded.m_records.assign(count, AlarmRecord{});
    for (AlarmRecord& record : loaded.m_records) {
        in.Get(record.leadingWord);
        in.Get(record.typeFlags);
        in.Get(record.firstValue);
        in.Get(record.secondValue);
    }
    if (!in.Done()) return false;
    model = std::move(loaded);
    return true;
}

}  // namespace sim
