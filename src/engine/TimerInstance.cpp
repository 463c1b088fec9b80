#include "engine/TimerInstance.h"

#include <algorithm>
#include <cmath>

#include "engine/TimeFormat.h"
#include "storage/JsonCodec.h"

namespace larkspur {

TimerInstance::TimerInstance(TimerData data, const Clock& clock, Scheduler& scheduler,
                             QObject* parent)
    : QObject(parent), data_(std::move(data)), clock_(clock), scheduler_(scheduler) {
    if (data_.state == TimerState::Paused || data_.state == TimerState::Running)
        accumulatedBeforePause_ = data_.elapsedTime;
}

QString TimerInstance::idString() const {
    return json::uuidToString(data_.id);
}

void TimerInstance::setRunsCompleted(qint64 runs) {
    if (data_.recurringConfig) data_.recurringConfig->runsCompleted = runs;
}

double TimerInstance::remainingTime() const {
    if (data_.mode == TimerMode::EndTime && data_.endDate)
        return std::max(0.0, *data_.endDate - clock_.now());
    return std::max(0.0, data_.totalDuration - data_.elapsedTime);
}

double TimerInstance::progress() const {
    if (!(data_.totalDuration > 0) || data_.mode == TimerMode::Stopwatch) return 0;
    return 1.0 - remainingTime() / data_.totalDuration;
}

QString TimerInstance::displayTime() const {
    if (data_.mode == TimerMode::Stopwatch) return formatClock(data_.elapsedTime);
    return formatClock(std::ceil(remainingTime()));
}

void TimerInstance::setName(const QString& name) {
    if (name == data_.name) return;
    data_.name = name;
    Q_EMIT nameChanged();
}

void TimerInstance::setEmoji(const std::optional<QString>& emoji) {
    if (emoji == data_.emoji) return;
    data_.emoji = emoji;
    Q_EMIT nameChanged();
}

void TimerInstance::setTotalDuration(double seconds) {
    if (!std::isfinite(seconds) || seconds < 0 || seconds == data_.totalDuration) return;
    data_.totalDuration = seconds;
    Q_EMIT totalDurationChanged();
    // The remaining time, the progress and the shown time follow the length.
    Q_EMIT elapsedTimeChanged();
}

void TimerInstance::start() {
    accumulatedBeforePause_ = 0;
    data_.preWarningFired = false;
    startDate_ = clock_.now();
    if (data_.mode == TimerMode::EndTime && data_.endDate) {
        const double total = std::max(0.0, *data_.endDate - *startDate_);
        if (total != data_.totalDuration) {
            data_.totalDuration = total;
            Q_EMIT totalDurationChanged();
        }
    }
    setElapsed(0);
    const bool wasRunning = data_.state == TimerState::Running;
    setState(TimerState::Running);
    startTicking();
    // A new lap does not change the state but still resets the stored progress.
    if (wasRunning) Q_EMIT persistentChange();
}

void TimerInstance::pause() {
    if (data_.state != TimerState::Running) return;
    accumulatedBeforePause_ = data_.elapsedTime;
    stopTicking();
    setState(TimerState::Paused);
}

void TimerInstance::resume() {
    if (data_.state != TimerState::Paused) return;
    startDate_ = clock_.now();
    setState(TimerState::Running);
    startTicking();
}

void TimerInstance::reset() {
    stopTicking();
    accumulatedBeforePause_ = 0;
    data_.preWarningFired = false;
    startDate_.reset();
    setElapsed(0);
    setState(TimerState::Idle);
}

void TimerInstance::continueAfterRestore() {
    if (data_.state != TimerState::Running || ticker_.isActive()) return;
    accumulatedBeforePause_ = data_.elapsedTime;
    startDate_ = clock_.now();
    startTicking();
}

void TimerInstance::detach() {
    stopTicking();
    startDate_.reset();
}

void TimerInstance::tick() {
    if (!startDate_) return;
    const double elapsed = data_.mode == TimerMode::EndTime
                               ? data_.totalDuration - remainingTime()
                               : accumulatedBeforePause_ + (clock_.now() - *startDate_);
    setElapsed(elapsed);

    const double remaining = remainingTime();
    const auto& warning = data_.soundConfig.preWarningSeconds;
    if (!data_.preWarningFired && warning && *warning >= 1 && remaining > 0 &&
        remaining <= double(*warning)) {
        data_.preWarningFired = true;
        Q_EMIT preWarningDue();
    }

    if (data_.mode == TimerMode::Stopwatch || remaining > 0) return;
    if (data_.mode != TimerMode::EndTime) setElapsed(data_.totalDuration);
    stopTicking();
    if (data_.mode == TimerMode::Loop) {
        start();
    } else {
        setState(TimerState::Completed);
    }
}

void TimerInstance::reevaluate() {
    if (data_.state != TimerState::Running) return;
    tick();
    if (data_.state == TimerState::Running && ticker_.isActive()) armDueShot();
}

void TimerInstance::setState(TimerState state) {
    if (data_.state == state) return;
    data_.state = state;
    Q_EMIT stateChanged(state);
    Q_EMIT persistentChange();
}

void TimerInstance::setElapsed(double elapsed) {
    if (data_.elapsedTime == elapsed) return;
    data_.elapsedTime = elapsed;
    Q_EMIT elapsedTimeChanged();
}

void TimerInstance::startTicking() {
    ticker_ = scheduler_.every(kTickInterval, [this] { tick(); });
    armDueShot();
}

void TimerInstance::stopTicking() {
    ticker_.cancel();
    dueShot_.cancel();
}

void TimerInstance::armDueShot() {
    // The ticker alone could be up to a tick late; a one-shot at the due instant is not.
    if (data_.mode == TimerMode::Stopwatch) return;
    // A zero-length lap restarts on every tick; a due-shot would spin without letting time pass.
    if (data_.mode == TimerMode::Loop && !(data_.totalDuration > 0)) return;
    // From the clock, not from the last tick: saving on a state change may have taken a while.
    double remaining = remainingTime();
    if (startDate_ && data_.mode != TimerMode::EndTime)
        remaining = std::max(
            0.0, data_.totalDuration - accumulatedBeforePause_ - (clock_.now() - *startDate_));
    dueShot_ = scheduler_.after(remaining, [this] { onDue(); });
}

void TimerInstance::onDue() {
    tick();
    // The monotonic and the wall clock may disagree by a hair: try again at the new due time.
    if (data_.state == TimerState::Running && ticker_.isActive() && !dueShot_.isActive())
        armDueShot();
}

}  // namespace larkspur
