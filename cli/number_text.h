// Numbers as typed on the command line, read strictly: the whole text or nothing.
#pragma once

#include <optional>
#include <string>

// Decimal, or hexadecimal after "0x", with an optional sign: "-5", "1056964608", "0x3F000000".
std::optional<long long> ParseInteger(const std::string& text);
// A finite decimal number: "0.5", "1e-1"; no "inf", "nan" or hexadecimal.
std::optional<double> ParseReal(const std::string& text);
