#include "alarm_record_format.h"

#include <cstdint>

#include "alarm_record.h"
#include "sensor_contract.h"
#include "sensor_float.h"
#include "zeko_api.h"

namespace {

// The runs of blanks line the values up under the view's column header; a value the record does
// not carry shows as NULL.
const char* LineFormat(sensor::RecordType type) {
    switch (type) {
        case sensor::RecordType::Vibration:
            return "%3d        振动          %6.2f        %6.2f";
        case sensor::RecordType::Movement:
            return "%3d        移动          %6.2f        %6.2f";
        case sensor::RecordType::OverTemperature:
            return "%3d        超温            NULL          NULL";
        case sensor::RecordType::Tamper:
            return "%3d        防拆            NULL          NULL";
        case sensor::RecordType::LowVoltage:
            return "%3d        低压          %6.2f        %6.2f";
        case sensor::RecordType::Energy:
            return "%3d        能量累计      %6.2f           NULL";
    }
    return "";
}

}  // namespace

CString FormatAlarmRecord(int number, const BYTE* record) {
    CString line;
    const auto flags = static_cast<std::uint32_t>(ReadBE32(record + sensor::kRecordTypeFlags));
    const sensor::RecordTypeBit* type = sensor::RecordTypeOf(flags);
    if (!type) return line;
    const char* format = LineFormat(type->type);
    const double first = ReadBEFloat(record + sensor::kRecordFirstValue);
    const double second = ReadBEFloat(record + sensor::kRecordSecondValue);
    switch (type->valuesShown) {
        case 0:
            line.Format(format, number);
            break;
        case 1:
            line.Format(format, number, first);
            break;
        default:
            line.Format(format, number, first, second);
    }
    return line;
}
