#include "message_map.h"

const MessageMapEntry* FindMessageEntry(const MessageMap* map, UINT message, WPARAM wParam) {
    for (; map != nullptr; map = map->base) {
        for (const MessageMapEntry& entry : map->entries) {
            if (entry.message != message) {
                continue;
            }
            if (message != WM_COMMAND ||
                (entry.id == LOWORD(wParam) && entry.code == HIWORD(wParam))) {
                return &entry;
            }
        }
    }
    return nullptr;
}
