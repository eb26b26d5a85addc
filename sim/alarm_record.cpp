#include "alarm_record.h"

#include "big_endian.h"

namespace sim {

RecordBytes Encode(const AlarmRecord& record) {
    RecordBytes bytes{};
    PutBE32(bytes, sensor::kRecordLeadingWord, record.leadingWord);
    PutBE32(bytes, sensor::kRecordTypeFlags, record.typeFlags);
    PutBEFloat(bytes, sensor::kRecordFirstValue, record.firstValue);
    PutBEFloat(bytes, sensor::kRecordSecondValue, record.secondValue);
    return bytes;
}

}  // namespace sim
