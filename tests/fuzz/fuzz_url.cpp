#include "FuzzSupport.h"
#include "engine/TimerManager.h"
#include "engine/TimerText.h"
#include "integrations/UrlCommandHandler.h"
#include "support/RecordingNotifier.h"

using namespace larkspur;

// One URL a line, as a second launch hands them over: raw bytes, so invalid UTF-8 and broken
// escapes arrive as they would from a command line.
void fuzzOne(const QByteArray& input) {
    static const fuzz::ShmFolder folder;
    folder.reset(QStringLiteral("none"), {});
    QStringList urls;
    for (const QByteArray& line : input.split('\n')) urls.append(QString::fromUtf8(line));
    const StorageManager storage(folder.path);
    fuzz::Time time;
    test::RecordingNotifier notifier;
    TimerManager manager(storage, time, time, notifier);
    SharedManagers shared;
    shared.timerManager = &manager;
    UrlCommandHandler(shared).handleURLs(urls);
    for (const QString& url : std::as_const(urls)) {
        if (const auto duration =
                parseDuration(parseQueryParams(url).value(QStringLiteral("duration"))))
            fuzz::check(std::isfinite(*duration) && *duration >= 0,
                        "an unusable duration accepted");
    }
    time.advance(1.0);
    for (const TimerInstance* t : manager.timers()) {
        fuzz::check(std::isfinite(t->totalDuration()) && t->totalDuration() >= 0, "bad length");
        fuzz::check(!hasForbiddenControl(t->name()) && t->name().size() <= kMaxNameLength,
                    "a name no view can show");
        fuzz::check(!t->displayTime().isEmpty(), "no time shown");
    }
    const qsizetype made = manager.timers().size();
    TimerManager reread(storage, time, time, notifier);
    fuzz::check(reread.timers().size() == made, "timers made from URLs are not read back");
}
