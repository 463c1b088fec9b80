#pragma once

#include <QStringList>
#include <functional>

#include "platform/Notifier.h"

namespace larkspur {

class TimerManager;

// Gives the "Time's up!" notification of a timer whose sound plays until dismissed a "Stop"
// action, so the sound can be ended from the notification. Everything else passes through.
class StopActionNotifier final : public Notifier {
public:
    using Poster = std::function<void(const Notification&, const QStringList& actions)>;
    static inline const QString kStopAction = QStringLiteral("stop");

    explicit StopActionNotifier(Poster poster) : poster_(std::move(poster)) {}

    // Set once the timer manager exists (it is made with this notifier).
    void setTimerManager(const TimerManager* timers) { timers_ = timers; }
    void post(const Notification& notification) override;

private:
    Poster poster_;
    const TimerManager* timers_ = nullptr;
};

}  // namespace larkspur
