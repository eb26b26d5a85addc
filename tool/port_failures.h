// After a start-up scan that found no sensor: why each port failed, one line per COM name that had
// a device node, on standard error (which a desktop session keeps in its journal). The status line
// is not touched; the reasons are those `zeko ports` gives.
#pragma once

#include <span>

// results[i] is what ZEKO_initial gave for COM<i + 1>.
void ReportPortFailures(std::span<const int> results);
