// Decimal numbers as a user types them into a field: optional blanks, an optional sign, digits
// (and for a real number a fraction and an exponent), optional blanks, nothing else.
#pragma once

#include <optional>
#include <string_view>

std::optional<double> ParseDecimalReal(std::string_view text);
std::optional<long long> ParseDecimalInteger(std::string_view text);
