#include "FuzzSupport.h"
#include "engine/TimerManager.h"
#include "support/RecordingNotifier.h"

using namespace larkspur;

// "active-timers.json": the codec on its own, then the whole restore with every timer shown,
// run on for a while and written back.
void fuzzOne(const QByteArray& input) {
    static const fuzz::ShmFolder folder;
    const auto decodeList = [](const QJsonValue& v) {
        return json::decodeArray(v, QStringLiteral("timers"), [](const QJsonValue& e) {
            return TimerDataCodec::decode(e, 7.0);
        });
    };
    const auto encodeList = [](const QList<TimerData>& list) {
        QJsonArray array;
        for (const TimerData& t : list) array.append(TimerDataCodec::encode(t));
        return array;
    };
    const auto timers = fuzz::decodeText(input, decodeList);
    if (timers) fuzz::checkSaveReadsBack(*timers, encodeList, decodeList);
    folder.reset(kActiveTimersFile, input);
    const StorageManager storage(folder.path);
    fuzz::Time time;
    test::RecordingNotifier notifier;
    TimerManager manager(storage, time, time, notifier);
    fuzz::check(manager.timers().size() == (timers ? timers->size() : 0), "timers lost on restore");
    manager.continueRestoredTimers();
    for (const double step : {0.0, 0.5, 90.0}) {
        time.advance(step);
        for (const TimerInstance* t : manager.timers()) {
            fuzz::check(t->progress() >= 0 && t->progress() <= 1, "progress beyond 0 ... 1");
            fuzz::check(!t->displayTime().isEmpty(), "no time shown");
            (void)t->secondsUntilDisplayChanges();
            (void)t->dueAt();
        }
    }
    manager.pauseAll();
    manager.saveTimers();
    const auto written = fuzz::decodeText(folder.read(kActiveTimersFile), decodeList);
    fuzz::check(written && written->size() == manager.timers().size(),
                "the list written is unreadable");
}
