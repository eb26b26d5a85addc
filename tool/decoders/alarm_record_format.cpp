#include "alarm_record_format.h"

#include <cstddef>
#include <cstdint>
#include <iterator>

#include "alarm_record.h"
#include "sensor_contract.h"
#include "sensor_float.h"
#include "zeko_api.h"

namespace {

// One line a record type, in the order of sensor::RecordType. The runs of blanks line the values
// up under the view's column header; a value the record does not carry shows as NULL.
constexpr const char* kLineFormats[] = {
    "%3d        振动          %6.2f        %6.2f",
    "%3d        移动          %6.2f        %6.2f",
    "%3d        超温            NULL          NULL",
    "%3d        防拆            NULL          NULL",
    "%3d        低压          %6.2f        %6.2f",
    "%3d        能量累计      %6.2f           NULL",
};
static_assert(std::size(kLineFormats) == std::size(sensor::kRecordTypes));

}  // namespace

CString FormatAlarmRecord(int number, const BYTE* record) {
    CString line;
    const auto flags = static_cast<std::uint32_t>(ReadBE32(record + sensor::kRecordTypeFlags));
    const sensor::RecordTypeBit* type = sensor::RecordTypeOf(flags);
    if (!type) return line;
    const char* format = kLineFormats[static_cast<std::size_t>(type->type)];
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
