// The steps every export takes: the file is named after the export clock's local time, the
// operator is told the name, then the file is written whole (or not at all); a failure names the
// file and the reason in a second box. Both boxes are owned by `owner`.
#pragma once

#include <functional>
#include <optional>
#include <string>

class CWnd;

// The bytes to write into `bytes`, or why there are none.
using ExportContent = std::function<std::optional<std::string>(std::string& bytes)>;

// "<title> Y-M-D h-m-s<extension>", without leading zeros, in the working directory.
void ExportToFile(CWnd& owner, const char* title, const char* extension,
                  const ExportContent& content);
