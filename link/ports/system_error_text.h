// The system's words for an error code, in UTF-8 and without a line break at their end, as a
// report line or a box holds them: the C library's on POSIX, on Windows through the wide API
// whatever the code page, so that a Chinese system's words arrive intact.
#pragma once

#include <string>

std::string SystemErrorText(int error);
