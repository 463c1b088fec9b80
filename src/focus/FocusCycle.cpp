#include "focus/FocusCycle.h"

#include <QCoreApplication>
#include <QUuid>
#include <algorithm>
#include <cmath>

#include "engine/SoundManager.h"
#include "focus/StatsManager.h"
#include "storage/StorageManager.h"

namespace larkspur {

namespace {
// A hand-edited file may hold anything; a phase length that is no length takes the default's.
FocusConfig usable(FocusConfig c) {
    const FocusConfig defaults;
    for (auto [value, fallback] : {std::pair{&c.focusDuration, defaults.focusDuration},
                                   std::pair{&c.shortBreakDuration, defaults.shortBreakDuration},
                                   std::pair{&c.longBreakDuration, defaults.longBreakDuration}})
        if (!std::isfinite(*value) || *value < 0) *value = fallback;
    c.sessionsBeforeLongBreak = std::clamp<qint64>(c.sessionsBeforeLongBreak, 1, 1000);
    return c;
}

QString endedTitle(SessionType phase) {
    switch (phase) {
        case SessionType::Focus:
            return QCoreApplication::translate("FocusCycle", "Focus complete");
        case SessionType::ShortBreak:
            return QCoreApplication::translate("FocusCycle", "Short break is over");
        case SessionType::LongBreak:
            return QCoreApplication::translate("FocusCycle", "Long break is over");
    }
    return {};
}
}  // namespace

FocusCycle::FocusCycle(const StorageManager& storage, const Clock& clock, Scheduler& scheduler,
                       StatsManager& stats, SoundManager& sounds, Notifier& notifier,
                       QObject* parent)
    : QObject(parent),
      storage_(storage),
      clock_(clock),
      scheduler_(scheduler),
      stats_(stats),
      sounds_(sounds),
      notifier_(notifier),
      config_(usable(storage.load<FocusConfig>(kFocusConfigFile).value_or(FocusConfig{}))),
      sessionStartedAt_(clock.now()) {
    applyPhaseDuration();
}

void FocusCycle::setTaskLabel(const QString& label) {
    if (label == taskLabel_) return;
    taskLabel_ = label;
    Q_EMIT taskLabelChanged();
}

double FocusCycle::remaining() const {
    if (!runningSince_) return remaining_;
    return std::max(0.0, remaining_ - (clock_.now() - *runningSince_));
}

double FocusCycle::progress() const {
    return total_ > 0 ? 1.0 - remaining() / total_ : 0.0;
}

QString FocusCycle::displayTime() const {
    const auto s = qint64(std::min(std::ceil(remaining()), 1e12));
    const QChar zero(u'0');
    return QStringLiteral("%1:%2").arg(s / 60, 2, 10, zero).arg(s % 60, 2, 10, zero);
}

void FocusCycle::setViewsVisible(bool visible) {
    viewsVisible_ = visible;
    updateTicking();
    if (visible) Q_EMIT ticked();
}

void FocusCycle::toggleTimer() {
    advanceShot_.cancel();  // the user acted: a pending advance would skip a phase
    switch (state_) {
        case TimerState::Idle:
            sessionStartedAt_ = clock_.now();
            startRunning();
            break;
        case TimerState::Running:
            stopRunning();
            state_ = TimerState::Paused;
            break;
        case TimerState::Paused:
            startRunning();
            break;
        case TimerState::Completed:
            advanceToNextPhase();
            return;
    }
    Q_EMIT changed();
}

void FocusCycle::skipPhase() {
    advanceShot_.cancel();
    stopRunning();
    logPhase(total_ - remaining_, false, clock_.now());
    advanceToNextPhase();
}

void FocusCycle::resetAll() {
    advanceShot_.cancel();
    stopRunning();
    state_ = TimerState::Idle;
    phase_ = SessionType::Focus;
    session_ = 1;
    applyPhaseDuration();
    Q_EMIT changed();
}

void FocusCycle::applyConfig(const FocusConfig& config) {
    advanceShot_.cancel();
    config_ = usable(config);
    storage_.save(config_, kFocusConfigFile);
    applyPhaseDuration();
    Q_EMIT changed();
}

void FocusCycle::reevaluate() {
    if (state_ != TimerState::Running) return;
    armEnd();
    if (remaining() <= 0) timerCompleted();
}

void FocusCycle::advanceToNextPhase() {
    switch (phase_) {
        case SessionType::Focus:
            phase_ = session_ < config_.sessionsBeforeLongBreak ? SessionType::ShortBreak
                                                                : SessionType::LongBreak;
            break;
        case SessionType::ShortBreak:
            phase_ = SessionType::Focus;
            ++session_;
            break;
        case SessionType::LongBreak:
            phase_ = SessionType::Focus;
            session_ = 1;
            break;
    }
    stopRunning();
    state_ = TimerState::Idle;
    applyPhaseDuration();
    if (autoStarts(phase_)) {
        sessionStartedAt_ = clock_.now();
        startRunning();
    }
    Q_EMIT changed();
}

void FocusCycle::applyPhaseDuration() {
    switch (phase_) {
        case SessionType::Focus:
            total_ = config_.focusDuration;
            break;
        case SessionType::ShortBreak:
            total_ = config_.shortBreakDuration;
            break;
        case SessionType::LongBreak:
            total_ = config_.longBreakDuration;
            break;
    }
    // A running phase keeps running, from the full new length.
    remaining_ = total_;
    if (runningSince_) {
        runningSince_ = clock_.now();
        armEnd();
    }
    Q_EMIT ticked();
}

void FocusCycle::startRunning() {
    state_ = TimerState::Running;
    runningSince_ = clock_.now();
    armEnd();
    updateTicking();
}

void FocusCycle::stopRunning() {
    remaining_ = remaining();
    runningSince_.reset();
    endShot_.cancel();
    updateTicking();
}

void FocusCycle::armEnd() {
    endShot_ = scheduler_.after(remaining(), [this] { onDue(); });
}

void FocusCycle::onDue() {
    // The monotonic and the wall clock may disagree by a hair: wait for what is left.
    if (remaining() > 0) {
        armEnd();
        return;
    }
    timerCompleted();
}

void FocusCycle::timerCompleted() {
    // Ended at its due instant, also when noticed later (after a sleep).
    const double end = runningSince_ ? *runningSince_ + remaining_ : clock_.now();
    stopRunning();
    remaining_ = 0;
    state_ = TimerState::Completed;
    sounds_.play(SoundConfig{});
    logPhase(total_, true, end);
    const SessionType ended = phase_;
    if (!viewsVisible_) {
        const SessionType next = ended != SessionType::Focus ? SessionType::Focus
                                 : session_ < config_.sessionsBeforeLongBreak
                                     ? SessionType::ShortBreak
                                     : SessionType::LongBreak;
        notifier_.post(
            {kNotificationId, endedTitle(ended),
             QCoreApplication::translate("FocusCycle", "Next: %1").arg(displayName(next))});
    }
    const bool advance =
        ended == SessionType::Focus ? config_.autoStartBreaks : config_.autoStartFocus;
    if (advance)
        advanceShot_ = scheduler_.after(kAutoAdvanceDelay, [this] { advanceToNextPhase(); });
    Q_EMIT ticked();
    Q_EMIT changed();
}

void FocusCycle::logPhase(double duration, bool completed, double endedAt) {
    FocusSession s;
    s.id = QUuid::createUuid();
    if (!taskLabel_.isEmpty()) s.taskLabel = taskLabel_;
    s.startedAt = sessionStartedAt_;
    s.endedAt = endedAt;
    s.focusDuration = duration;
    s.type = phase_;
    s.completed = completed;
    stats_.logSession(s);
}

void FocusCycle::updateTicking() {
    const bool live = viewsVisible_ && runningSince_;
    if (live && !ticker_.isActive())
        ticker_ = scheduler_.every(kTickInterval, [this] { Q_EMIT ticked(); });
    if (!live) ticker_.cancel();
}

bool FocusCycle::autoStarts(SessionType phase) const {
    return phase == SessionType::Focus ? config_.autoStartFocus : config_.autoStartBreaks;
}

}  // namespace larkspur
