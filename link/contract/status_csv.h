// One status poll as a CSV line, as the trend window exports its recording and `zeko status
// --watch --csv` prints it: the local time the poll started, to the tenth of a second
// (truncated), then vibration with two decimals, movement and temperature whole, and the alarm
// flag byte in decimal. A failed poll is its time and four empty fields. Numbers are written
// without the locale, so the decimal point is "." everywhere.
#pragma once

#include <charconv>
#include <cstdint>
#include <ctime>
#include <string>

#include "status_block.h"

inline constexpr char kStatusCsvHeader[] = "时间,振动(G),移动(度/S),温度,报警标志";

namespace status_csv_detail {

inline constexpr std::int64_t kMsPerSecond = 1000;
inline constexpr std::int64_t kMsPerTenth = 100;

inline void Append(std::string& line, std::int64_t value) {
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    line.append(digits, end);
}

inline void AppendTwoDigits(std::string& line, int value) {
    line += static_cast<char>('0' + value / 10);
    line += static_cast<char>('0' + value % 10);
}

}  // namespace status_csv_detail

// `startedMs`: milliseconds since the epoch; `status`: nullptr for a failed poll.
inline std::string StatusCsvLine(std::int64_t startedMs, const StatusReadings* status) {
    using namespace status_csv_detail;
    const std::int64_t seconds = startedMs >= 0 ? startedMs / kMsPerSecond
                                                : -((-startedMs + kMsPerSecond - 1) / kMsPerSecond);
    const std::time_t time = static_cast<std::time_t>(seconds);
    std::tm local{};
#if defined(_WIN32)
    localtime_s(&local, &time);
#else
    localtime_r(&time, &local);
#endif
    std::string line;
    Append(line, local.tm_year + 1900);
    line += '-';
    AppendTwoDigits(line, local.tm_mon + 1);
    line += '-';
    AppendTwoDigits(line, local.tm_mday);
    line += ' ';
    AppendTwoDigits(line, local.tm_hour);
    line += ':';
    AppendTwoDigits(line, local.tm_min);
    line += ':';
    AppendTwoDigits(line, local.tm_sec);
    line += '.';
    Append(line, (startedMs - seconds * kMsPerSecond) / kMsPerTenth);
    if (status == nullptr) {
        return line + ",,,,";
    }
    char vibration[48];
    const auto end = std::to_chars(vibration, vibration + sizeof vibration, status->vibration,
                                   std::chars_format::fixed, 2)
                         .ptr;
    line += ',';
    line.append(vibration, end);
    line += ',';
    Append(line, status->movement);
    line += ',';
    Append(line, status->temperature);
    line += ',';
    Append(line, status->flags);
    return line;
}
