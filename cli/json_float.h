// A float the sensor sent, for JSON and CSV: its shortest decimal form (0.08, not
// 0.07999999821186066), and null where JSON has no number for it (infinity, not a number).
#pragma once

#include <nlohmann/json.hpp>
#include <string>

// Objects keep their keys in the order written, so that a reader sees them as documented.
using Json = nlohmann::ordered_json;

Json JsonFloat(float value);
std::string ShortestText(float value);
