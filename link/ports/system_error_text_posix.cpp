#include <cstring>

#include "system_error_text.h"

std::string SystemErrorText(int error) { return std::strerror(error); }
