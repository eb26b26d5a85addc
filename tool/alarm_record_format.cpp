#include "alarm_record_format.h"

#include <cstdint>

#include "sensor_contract.h"
#include "sensor_float.h"
#include "zeko_api.h"

// The runs of blanks line the values up under the view's column header.
CString FormatAlarmRecord(int number, const BYTE* record) {
    const auto type = static_cast<std::uint32_t>(ReadBE32(record + sensor::kRecordTypeFlags));
    const double first = ReadBEFloat(record + sensor::kRecordFirstValue);
    const double second = ReadBEFloat(record + sensor::kRecordSecondValue);
    CString line;
    if (type & sensor::kRecordVibration) {
        line.Format("%3d        振动          %6.2f        %6.2f", number, first, second);
    } else if (type & sensor::kRecordMovement) {
        line.Format("%3d        移动          %6.2f        %6.2f", number, first, second);
    } else if (type & sensor::kRecordOverTemperature) {
        line.Format("%3d        超温            NULL          NULL", number);
    } else if (type & sensor::kRecordTamper) {
        line.Format("%3d        防拆            NULL          NULL", number);
    } else if (type & sensor::kRecordLowVoltage) {
        line.Format("%3d        低压          %6.2f        %6.2f", number, first, second);
    } else if (type & sensor::kRecordEnergy) {
        line.Format("%3d        能量累计      %6.2f           NULL", number, first);
    }
    return line;
}
