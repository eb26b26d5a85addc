// zeko history: every record the sensor holds, decoded as the dialog's history rows decode them:
// the lowest of the six type bits names the alarm, and the values the dialog shows as NULL are
// null here (empty in CSV).
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <iostream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "alarm_record.h"
#include "commands.h"
#include "exit_status.h"
#include "json_float.h"
#include "sensor_contract.h"
#include "sensor_float.h"
#include "sensor_link.h"
#include "status_block.h"
#include "zeko_api.h"

namespace {

// The names of the record types, in the order of sensor::RecordType.
constexpr const char* kTypeNames[] = {"vibration", "movement",    "over_temperature",
                                      "tamper",    "low_voltage", "energy"};
static_assert(std::size(kTypeNames) == std::size(sensor::kRecordTypes));

struct Record {
    int number;
    const char* type;  // nullptr: none of the six type bits
    std::optional<float> threshold;
    std::optional<float> value;
};

Record Decode(int number, const std::uint8_t* bytes) {
    Record record{.number = number, .type = nullptr, .threshold = {}, .value = {}};
    const auto flags = static_cast<std::uint32_t>(ReadBE32(bytes + sensor::kRecordTypeFlags));
    const sensor::RecordTypeBit* type = sensor::RecordTypeOf(flags);
    if (!type) return record;
    record.type = kTypeNames[static_cast<std::size_t>(type->type)];
    if (type->valuesShown > 0) record.threshold = ReadBEFloat(bytes + sensor::kRecordFirstValue);
    if (type->valuesShown > 1) record.value = ReadBEFloat(bytes + sensor::kRecordSecondValue);
    return record;
}

std::vector<Record> ReadHistory(SensorLink& link) {
    std::array<std::uint8_t, sensor::kStatusBlockLength> status{};
    link.Block(sensor::kBlockStatus, {}, status);
    const int count = DecodeStatusBlock(status.data()).recordCount;
    std::vector<Record> records;
    for (int number = 1; number <= count; ++number) {
        const std::array<std::uint8_t, sensor::kAlarmRecordPayloadLength> payload{
            static_cast<std::uint8_t>(number)};
        std::array<std::uint8_t, sensor::kAlarmRecordLength> bytes{};
        link.Block(sensor::kBlockAlarmRecord, payload, bytes);
        records.push_back(Decode(number, bytes.data()));
    }
    return records;
}

Json OptionalJson(const std::optional<float>& value) {
    return value ? JsonFloat(*value) : Json(nullptr);
}

std::string CsvField(const std::optional<float>& value) {
    return value ? ShortestText(*value) : std::string();
}

std::string TextField(const std::optional<float>& value) {
    if (!value) return "NULL";
    std::array<char, 64> text{};
    std::snprintf(text.data(), text.size(), "%6.2f", static_cast<double>(*value));
    return text.data();
}

}  // namespace

int RunHistory(const CommonOptions& options, bool csv) {
    SensorLink link(options.port);
    const std::vector<Record> records = ReadHistory(link);
    if (options.json) {
        Json list = Json::array();
        for (const Record& r : records) {
            list.push_back({{"number", r.number},
                            {"type", r.type ? Json(r.type) : Json(nullptr)},
                            {"threshold", OptionalJson(r.threshold)},
                            {"value", OptionalJson(r.value)}});
        }
        std::cout << list.dump() << std::endl;
    } else if (csv) {
        std::cout << "number,type,threshold,value\n";
        for (const Record& r : records) {
            std::cout << r.number << ',' << (r.type ? r.type : "") << ',' << CsvField(r.threshold)
                      << ',' << CsvField(r.value) << '\n';
        }
    } else {
        for (const Record& r : records) {
            std::array<char, 160> line{};
            std::snprintf(line.data(), line.size(), "%3d  %-16s  %6s  %6s", r.number,
                          r.type ? r.type : "-", TextField(r.threshold).c_str(),
                          TextField(r.value).c_str());
            std::cout << line.data() << '\n';
        }
    }
    std::cout << std::flush;
    return kExitOk;
}
