// Any 15 status bytes through the decoder and into the texts the dialog shows: every field
// decodes, the vibration shown is never negative or not a number, and formatting holds.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "cstring.h"
#include "sensor_contract.h"
#include "status_block.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    auto* block = static_cast<BYTE*>(std::malloc(sensor::kStatusBlockLength));
    std::memset(block, 0, sensor::kStatusBlockLength);
    std::memcpy(block, data, size < sensor::kStatusBlockLength ? size : sensor::kStatusBlockLength);
    const StatusReadings status = DecodeStatusBlock(block);
    if (std::isnan(status.vibration) || status.vibration < 0.0f) std::abort();
    if (status.temperature < 0 || status.temperature > 255) std::abort();

    CString text;
    text.Format("%3.2f", static_cast<double>(status.vibration));
    text.Format("%3.2f", static_cast<double>(status.learnedVibration));
    text.Format("%d", status.movement);
    text.Format("%3d/%3d", status.recordCount, status.recordCount);
    if (std::strlen(text) != 7) std::abort();
    std::free(block);
    return 0;
}
