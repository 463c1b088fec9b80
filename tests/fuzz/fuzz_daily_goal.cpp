#include "FuzzSupport.h"
#include "focus/DailyGoal.h"
#include "focus/StatsManager.h"
#include "support/ManualTime.h"

using namespace larkspur;

// Every goal that is read must be written back exactly and measured against without fault.
void fuzzOne(const QByteArray& input) {
    static const fuzz::ShmFolder folder;
    const auto goal = fuzz::decodeText(input, JsonCodecFor<DailyGoal>::decode);
    if (!goal) return;
    fuzz::checkSaveReadsBack(*goal);
    folder.reset(kDailyGoalFile, input);
    const StorageManager storage(folder.path);
    const test::ManualTime time;
    const StatsManager stats(storage, time);
    fuzz::check(stats.dailyGoalMinutes() == goal->minutes, "the statistics read another goal");
    fuzz::check(!std::isnan(stats.dailyGoalProgress()),
                "the progress toward a goal is not a number");
}
