// A library result code as one line for people: the code, its name from zeko_api.h and what it
// means for the call that returned it, as in "41 ZEKO_LINK_LOST: no reply; the link is marked
// lost".
#pragma once

#include <string>

enum class LinkCall { Initial, Get, Set, Block };

std::string ResultText(int code, LinkCall call);

// True when `code` is the sensor's own answer rather than one of the library's codes: a parameter
// write's result code, or a block reply's status byte.
bool IsSensorCode(int code, LinkCall call);
