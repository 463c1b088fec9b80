#include "app/FreedMemory.h"

#include "engine/TimerManager.h"

#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace larkspur {

void returnFreedMemory() {
#ifdef __GLIBC__
    malloc_trim(0);
#endif
}

FreedMemoryAfterDrops::FreedMemoryAfterDrops(TimerManager& timers, QObject* parent)
    : QObject(parent), timers_(timers) {
    connect(&timers_, &TimerManager::timersChanged, this, &FreedMemoryAfterDrops::timersChanged);
}

void FreedMemoryAfterDrops::timersChanged() {
    const qsizetype count = timers_.timers().size();
    most_ = std::max(most_, count);
    if (most_ - count < kDrop) return;
    most_ = count;
    pending_ = timers_.scheduler().after(kDelaySeconds, [] { returnFreedMemory(); });
}

}  // namespace larkspur
