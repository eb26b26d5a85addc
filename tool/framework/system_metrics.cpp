#include "system_metrics.h"

int GetSystemMetrics(int index) {
    constexpr int kIconSize = 32;
    return index == SM_CXICON || index == SM_CYICON ? kIconSize : 0;
}
