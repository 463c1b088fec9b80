#include "engine/TimerInstance.h"

#include <algorithm>
#include <cmath>

#include "engine/TimeFormat.h"
#include "engine/TimerText.h"
#include "storage/JsonCodec.h"

namespace larkspur {

TimerInstance::TimerInstance(TimerData data, const Clock& clock, Scheduler& scheduler,
                             QObject* parent)
    : QObject(parent), data_(std::move(data)), clock_(clock), scheduler_(scheduler) {
    // Whatever made the record (a URL, a form, a file), every timer holds bounded texts.
    data_.name = boundedName(data_.name);
    if (data_.emoji) data_.emoji = singleGrapheme(*data_.emoji);
    if (data_.state == TimerState::Paused || data_.state == TimerState::Running)
        accumulatedBeforePause_ = data_.elapsedTime;
}

QString TimerInstance::idString() const {
    return json::uuidToString(data_.id);
}

void TimerInstance::setRunsCompleted(qint64 runs) {
    if (data_.recurringConfig) data_.recurringConfig->runsCompleted = runs;
}

TimerData TimerInstance::data() const {
    TimerData now = data_;
    now.elapsedTime = elapsedTime();
    return now;
}

double TimerInstance::runningElapsed() const {
    if (data_.mode == TimerMode::EndTime && data_.endDate)
        return data_.totalDuration - std::max(0.0, *data_.endDate - clock_.now());
    return accumulatedBeforePause_ + (clock_.now() - *startDate_);
}

double TimerInstance::elapsedTime() const {
    return data_.state == TimerState::Running && startDate_ ? runningElapsed() : data_.elapsedTime;
}

double TimerInstance::remainingTime() const {
    if (data_.mode == TimerMode::EndTime && data_.endDate)
        return std::max(0.0, *data_.endDate - clock_.now());
    return std::max(0.0, data_.totalDuration - elapsedTime());
}

double TimerInstance::progress() const {
    if (!(data_.totalDuration > 0) || data_.mode == TimerMode::Stopwatch) return 0;
    // A negative elapsed time or an end further off than the length stays at the start.
    return std::clamp(1.0 - remainingTime() / data_.totalDuration, 0.0, 1.0);
}

QString TimerInstance::displayTime() const {
    if (data_.mode == TimerMode::Stopwatch) return formatClock(elapsedTime());
    return formatClock(std::ceil(remainingTime()));
}

std::optional<double> TimerInstance::dueAt() const {
    if (data_.state != TimerState::Running || !startDate_ || data_.mode == TimerMode::Stopwatch)
        return std::nullopt;
    if (data_.mode == TimerMode::EndTime && data_.endDate) return *data_.endDate;
    return clock_.now() + data_.totalDuration - runningElapsed();
}

std::optional<double> TimerInstance::secondsUntilDisplayChanges() const {
    if (data_.state != TimerState::Running || !startDate_) return std::nullopt;
    if (data_.mode == TimerMode::Stopwatch) {
        const double elapsed = elapsedTime();
        return std::floor(elapsed) + 1 - elapsed;
    }
    // The shown count is the remaining time rounded up: it drops as the remainder crosses a
    // whole second.
    const double remaining = remainingTime();
    if (!(remaining > 0)) return std::nullopt;
    return remaining - (std::ceil(remaining) - 1);
}

void TimerInstance::setName(const QString& text) {
    const QString name = boundedName(text);
    if (name == data_.name) return;
    data_.name = name;
    Q_EMIT nameChanged();
}

void TimerInstance::setEmoji(const std::optional<QString>& text) {
    const std::optional<QString> emoji = text ? std::optional(singleGrapheme(*text)) : std::nullopt;
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
    arm();
    // A new lap does not change the state but still resets the stored progress.
    if (wasRunning) Q_EMIT persistentChange();
}

void TimerInstance::pause() {
    if (data_.state != TimerState::Running) return;
    const double elapsed = elapsedTime();
    disarm();
    startDate_.reset();
    accumulatedBeforePause_ = elapsed;
    setElapsed(elapsed);
    setState(TimerState::Paused);
}

void TimerInstance::resume() {
    if (data_.state != TimerState::Paused) return;
    startDate_ = clock_.now();
    setState(TimerState::Running);
    arm();
}

void TimerInstance::reset() {
    disarm();
    accumulatedBeforePause_ = 0;
    data_.preWarningFired = false;
    startDate_.reset();
    setElapsed(0);
    setState(TimerState::Idle);
}

void TimerInstance::continueAfterRestore() {
    if (data_.state != TimerState::Running || isArmed() || startDate_) return;
    accumulatedBeforePause_ = data_.elapsedTime;
    startDate_ = clock_.now();
    arm();
}

void TimerInstance::detach() {
    disarm();
    // Whoever still shows it until it goes sees where it stopped.
    if (startDate_) setElapsed(runningElapsed());
    startDate_.reset();
}

void TimerInstance::tick() {
    if (data_.state != TimerState::Running || !startDate_) return;
    setElapsed(runningElapsed());
    checkWarning();

    const double remaining = remainingTime();
    if (data_.mode == TimerMode::Stopwatch || remaining > 0) return;
    if (data_.mode != TimerMode::EndTime) setElapsed(data_.totalDuration);
    disarm();
    if (data_.mode == TimerMode::Loop) {
        start();
    } else {
        startDate_.reset();
        setState(TimerState::Completed);
    }
}

void TimerInstance::checkWarning() {
    const auto& warning = data_.soundConfig.preWarningSeconds;
    if (data_.preWarningFired || !warning || *warning < 1) return;
    const double remaining = remainingTime();
    if (remaining > 0 && remaining <= double(*warning)) {
        data_.preWarningFired = true;
        warningShot_.cancel();
        Q_EMIT preWarningDue();
    }
}

void TimerInstance::reevaluate() {
    if (data_.state != TimerState::Running) return;
    tick();
    if (data_.state == TimerState::Running) arm();
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

void TimerInstance::arm() {
    armDueShot();
    armWarningShot();
}

void TimerInstance::disarm() {
    dueShot_.cancel();
    warningShot_.cancel();
}

void TimerInstance::armDueShot() {
    if (data_.mode == TimerMode::Stopwatch) return;
    // A lap shorter than a tick would wake (and save) on every pass of the event loop; it laps
    // once a tick instead.
    const double wait = data_.mode == TimerMode::Loop && !(data_.totalDuration >= kTickInterval)
                            ? kTickInterval
                            : remainingTime();
    dueShot_ = scheduler_.after(wait, [this] { onDue(); });
}

void TimerInstance::armWarningShot() {
    const auto& warning = data_.soundConfig.preWarningSeconds;
    if (data_.preWarningFired || !warning || *warning < 1) return;
    // At its instant; one already inside the warning time fires where the first tick after the
    // start would have found it.
    const double due = remainingTime() - double(*warning);
    warningShot_ = scheduler_.after(due > 0 ? due : kTickInterval, [this] {
        checkWarning();
        // Woken a hair early (the monotonic and the wall clock disagree): look again. Once the
        // end has passed no warning is due any more.
        const auto& w = data_.soundConfig.preWarningSeconds;
        if (!data_.preWarningFired && data_.state == TimerState::Running &&
            remainingTime() > double(*w))
            armWarningShot();
    });
}

void TimerInstance::onDue() {
    tick();
    // The monotonic and the wall clock may disagree by a hair: try again at the new due time.
    if (data_.state == TimerState::Running && !dueShot_.isActive()) armDueShot();
}

}  // namespace larkspur
