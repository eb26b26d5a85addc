// The resources of KQ_Tools: dialog templates 100 and 102, string 101, icons 128 to 130 and the
// version information.
#pragma once

#include "resource_module.h"

const ResourceModule& ToolResources();
