// Any alarm record and record number into the history line: the line is empty exactly when the
// record has none of the six type bits, and never carries a line end of its own.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "alarm_record_format.h"
#include "sensor_contract.h"
#include "zeko_api.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    const int number = data[0];
    auto* record = static_cast<BYTE*>(std::malloc(sensor::kAlarmRecordLength));
    std::memset(record, 0, sensor::kAlarmRecordLength);
    std::memcpy(record, data + 1,
                size - 1 < sensor::kAlarmRecordLength ? size - 1 : sensor::kAlarmRecordLength);

    const CString line = FormatAlarmRecord(number, record);
    constexpr std::uint32_t kTypeBits = 0x3F;
    const bool typed =
        (static_cast<std::uint32_t>(ReadBE32(record + sensor::kRecordTypeFlags)) & kTypeBits) != 0;
    if (line.IsEmpty() == typed) std::abort();
    if (std::strpbrk(line, "\r\n") != nullptr) std::abort();
    std::free(record);
    return 0;
}
