// UTF-8 text at the boundary to the wide (UTF-16) Windows API.
#pragma once

#include <string>
#include <string_view>

std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view utf16);
