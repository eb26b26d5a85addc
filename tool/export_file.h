// What the history export needs of the system: the local time, and a file written whole or not
// at all.
#pragma once

#include <ctime>
#include <optional>
#include <string>

// `time` as the local date and time.
std::tm LocalTime(std::time_t time);

// Writes `bytes` to a new file beside `name` (UTF-8), then moves it onto the name once it is
// complete. The move replaces whatever the name held without following it, and a failure at any
// step removes the new file, so the name never holds a partial export and no other file is
// touched. Returns why it failed, in the system's words, or nothing when it succeeded.
std::optional<std::string> SaveWholeFile(const std::string& name, const std::string& bytes);
