#pragma once

#include "platform/Clock.h"
#include "platform/Scheduler.h"

namespace larkspur::test {

// A wall clock and a scheduler that only move when the test says so. The wall clock follows the
// scheduler's time plus an offset, which a test may change to mimic a clock adjustment.
class ManualTime final : public Clock, public Scheduler {
public:
    explicit ManualTime(double wallStart = 800'000'000.0) : wallOffset_(wallStart) {}

    double now() const override { return wallOffset_ + mono_; }
    double monotonic() const { return mono_; }

    TaskHandle after(double delaySeconds, Task task) override;
    TaskHandle every(double periodSeconds, Task task) override;

    // Runs every task that falls due within `seconds`, in order, with the clocks set to each
    // task's due time, then leaves the clocks at the end.
    void advance(double seconds);
    void shiftWallClock(double seconds) { wallOffset_ += seconds; }
    // How many tasks have run: the program's wake-ups.
    std::size_t ran() const { return ran_; }

private:
    double wallOffset_;
    double mono_ = 0;
    TaskQueue queue_;
    std::size_t ran_ = 0;
};

}  // namespace larkspur::test
