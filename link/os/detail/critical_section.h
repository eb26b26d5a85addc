// The port lock: a re-entrant lock owned by the thread that takes it.
#pragma once

#include <mutex>
#include <optional>

struct CRITICAL_SECTION {
    std::optional<std::recursive_mutex> mutex;
};

// Makes the lock ready; it must not be held by anyone at that moment.
inline void InitializeCriticalSection(CRITICAL_SECTION* section) { section->mutex.emplace(); }
inline void EnterCriticalSection(CRITICAL_SECTION* section) { section->mutex->lock(); }
inline void LeaveCriticalSection(CRITICAL_SECTION* section) { section->mutex->unlock(); }
