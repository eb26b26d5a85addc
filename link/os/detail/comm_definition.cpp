// BuildCommDCBA: the line settings a definition text such as "baud=115200 parity=N data=8
// stop=1" asks for, parsed into a device control block.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "serial.h"

namespace {

bool ParseStopBits(const std::string& value, BYTE* stopBits) {
    if (value == "1") {
        *stopBits = ONESTOPBIT;
    } else if (value == "2") {
        *stopBits = TWOSTOPBITS;
    } else {
        return false;
    }
    return true;
}

bool ParseParity(const std::string& value, DCB* settings) {
    if (value.size() != 1) return false;
    switch (value[0]) {
        case 'n':
        case 'N':
            settings->Parity = NOPARITY;
            break;
        case 'e':
        case 'E':
            settings->Parity = EVENPARITY;
            break;
        case 'o':
        case 'O':
            settings->Parity = ODDPARITY;
            break;
        default:
            return false;
    }
    settings->fParity = settings->Parity != NOPARITY;
    return true;
}

bool ParseSetting(const std::string& key, const std::string& value, DCB* settings) {
    char* end = nullptr;
    const unsigned long number = std::strtoul(value.c_str(), &end, 10);
    const bool isNumber = !value.empty() && *end == '\0';
    if (key == "baud" && isNumber) {
        settings->BaudRate = static_cast<DWORD>(number);
    } else if (key == "data" && isNumber && number >= 5 && number <= 8) {
        settings->ByteSize = static_cast<BYTE>(number);
    } else if (key == "parity") {
        return ParseParity(value, settings);
    } else if (key == "stop") {
        return ParseStopBits(value, &settings->StopBits);
    } else {
        return false;
    }
    return true;
}

}  // namespace

BOOL BuildCommDCBA(LPCSTR definition, DCB* settings) {
    DCB built = *settings;
    char key[16];
    char value[16];
    int consumed = 0;
    for (const char* p = definition; *p != '\0'; p += consumed) {
        if (std::sscanf(p, " %15[a-z]=%15s%n", key, value, &consumed) != 2 ||
            !ParseSetting(key, value, &built)) {
            return FailWith(ERROR_INVALID_PARAMETER);
        }
        while (p[consumed] == ' ') ++consumed;
    }
    *settings = built;
    return TRUE;
}
