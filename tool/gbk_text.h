// The dialogs' UTF-8 text in the GBK code page, as files for other programs are written.
#pragma once

#include <string>

#include "cstring.h"

std::string ToGbk(const CString& text);
