#pragma once

#include "engine/TimerManager.h"
#include "support/ManualTime.h"
#include "support/RecordingNotifier.h"
#include "support/TempStorage.h"

namespace larkspur::test {

// A timer manager over a throwaway folder, on a clock the test moves.
struct TimerWorld {
    explicit TimerWorld(double wallStart = 800'000'000.0) : time(wallStart) {}

    TempStorage files;
    ManualTime time;
    RecordingNotifier notifier;
    TimerManager manager{files.storage, time, time, notifier};
};

}  // namespace larkspur::test
