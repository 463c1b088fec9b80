#pragma once

#include <QObject>

#include "platform/Scheduler.h"

namespace larkspur {

class TimerManager;

// Hands the allocator's free pages back to the system. glibc keeps them after a large free, and
// the program lives for weeks; elsewhere this does nothing.
void returnFreedMemory();

// Returns freed memory shortly after the timer list shrank by many timers at once (a stop after
// a batch of URL commands), once the deferred deletes and the shorter list's save are done.
class FreedMemoryAfterDrops final : public QObject {
    Q_OBJECT
public:
    static constexpr qsizetype kDrop = 500;
    static constexpr double kDelaySeconds = 2.0;

    explicit FreedMemoryAfterDrops(TimerManager& timers, QObject* parent = nullptr);

private:
    void timersChanged();

    TimerManager& timers_;
    qsizetype most_ = 0;
    TaskHandle pending_;
};

}  // namespace larkspur
