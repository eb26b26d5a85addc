// The dialogs' UTF-8 text in the GBK code page, as files for other programs are written.
#pragma once

#include <optional>
#include <string>

#include "cstring.h"

// Nothing when this system has no GBK encoder.
std::optional<std::string> ToGbk(const CString& text);
