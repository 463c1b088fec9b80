#include "FuzzSupport.h"
#include "engine/SoundManager.h"
#include "focus/FocusCycle.h"
#include "focus/StatsManager.h"
#include "support/FakeAudioPlayer.h"
#include "support/RecordingNotifier.h"

using namespace larkspur;

// A stored configuration, read by the cycle and run through a few phases.
void fuzzOne(const QByteArray& input) {
    static const fuzz::ShmFolder folder;
    if (const auto config = fuzz::decodeText(input, JsonCodecFor<FocusConfig>::decode))
        fuzz::checkSaveReadsBack(*config);
    folder.reset(kFocusConfigFile, input);
    const StorageManager storage(folder.path);
    fuzz::Time time;
    test::RecordingNotifier notifier;
    auto record = std::make_shared<test::FakePlayback>();
    SoundManager sounds(storage,
                        [&] { return std::make_unique<test::FakeAudioPlayer>(record, false); });
    StatsManager stats(storage, time);
    FocusCycle cycle(storage, time, time, stats, sounds, notifier);
    for (int phase = 0; phase < 4; ++phase) {
        cycle.toggleTimer();
        time.advance(cycle.totalDuration() < 1e6 ? cycle.totalDuration() + 2 : 60);
        fuzz::check(cycle.progress() >= 0 && cycle.progress() <= 1, "progress beyond 0 ... 1");
        fuzz::check(!cycle.displayTime().startsWith(u'-'), "a negative time shown");
        cycle.skipPhase();
    }
}
