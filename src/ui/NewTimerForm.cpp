#include "ui/NewTimerForm.h"

#include <QDateTime>
#include <QTimeZone>
#include <algorithm>
#include <cmath>

#include "engine/TimerManager.h"
#include "engine/TimerText.h"

namespace larkspur {

NewTimerForm::NewTimerForm(QObject* parent) : QObject(parent) {}

void NewTimerForm::setTimerManager(TimerManager* manager) {
    if (manager == timerManager_) return;
    timerManager_ = manager;
    if (manager && endMinutesOfDay_ < 0) {
        const double inAnHour = manager->clock().now() + 3600;
        const QDateTime local = dateTimeAt(inAnHour);
        endMinutesOfDay_ = local.time().hour() * 60 + local.time().minute();
        // The picker sets hours and minutes only; the seconds stay those of the opening.
        const QDateTime minuteStart(local.date(),
                                    QTime(local.time().hour(), local.time().minute()));
        endSecondsIntoMinute_ = inAnHour - clockReadingOf(minuteStart);
        Q_EMIT formChanged();
    }
    Q_EMIT timerManagerChanged();
}

void NewTimerForm::setName(const QString& text) {
    const QString kept = boundedName(text);
    if (kept == name_ && kept == text) return;
    name_ = kept;
    // Also when only the text given was cut, so that the field shows what is kept.
    Q_EMIT formChanged();
}

void NewTimerForm::setEmoji(const QString& text) {
    const QString kept = singleGrapheme(text);
    if (kept == emoji_ && kept == text) return;
    emoji_ = kept;
    Q_EMIT formChanged();
}

void NewTimerForm::setVolume(double volume) {
    if (std::isnan(volume)) return;
    const float clamped = float(std::clamp(volume, 0.0, 1.0));
    if (clamped == volume_) return;
    volume_ = clamped;
    Q_EMIT formChanged();
}

int NewTimerForm::endHour() const {
    return std::max(endMinutesOfDay_, 0) / 60;
}
int NewTimerForm::endMinute() const {
    return std::max(endMinutesOfDay_, 0) % 60;
}
void NewTimerForm::setEndHour(int hour) {
    setEndTimeOfDay(hour, endMinute());
}
void NewTimerForm::setEndMinute(int minute) {
    setEndTimeOfDay(endHour(), minute);
}

void NewTimerForm::setEndTimeOfDay(int hour, int minute) {
    const int value = std::clamp(hour, 0, 23) * 60 + std::clamp(minute, 0, 59);
    if (value == endMinutesOfDay_) return;
    endMinutesOfDay_ = value;
    Q_EMIT formChanged();
}

void NewTimerForm::setRecurringMaxRuns(int runs) {
    const int clamped = std::clamp(runs, 1, 100);
    if (clamped == recurringMaxRuns_) return;
    recurringMaxRuns_ = clamped;
    Q_EMIT formChanged();
}

bool NewTimerForm::showsDuration() const {
    return mode_ == TimerMode::Countdown || mode_ == TimerMode::Loop;
}
bool NewTimerForm::showsEndTime() const {
    return mode_ == TimerMode::EndTime;
}
bool NewTimerForm::showsPreWarning() const {
    return mode_ != TimerMode::Stopwatch;
}
bool NewTimerForm::showsRecurring() const {
    return mode_ == TimerMode::Countdown || mode_ == TimerMode::EndTime;
}

double NewTimerForm::endDateAt(double now) const {
    const QDateTime current = dateTimeAt(now);
    const QTime chosen(endHour(), endMinute());
    const auto endOn = [&](const QDate& day) {
        return clockReadingOf(QDateTime(day, chosen)) + endSecondsIntoMinute_;
    };
    // A time of day that has passed already means that time tomorrow.
    const double today = endOn(current.date());
    return today > now ? today : endOn(current.date().addDays(1));
}

void NewTimerForm::applyPreset(const Preset& preset) {
    name_ = boundedName(preset.name);
    duration_ = preset.duration;
    emoji_ = singleGrapheme(preset.emoji.value_or(QStringLiteral("\u23F1")));
    if (preset.soundConfig) {
        selectedSound_ = preset.soundConfig->soundName;
        volume_ = std::clamp(preset.soundConfig->volume, 0.0f, 1.0f);
        alertMode_ = preset.soundConfig->alertMode;
    }
    mode_ = TimerMode::Countdown;
    Q_EMIT formChanged();
}

TimerInstance* NewTimerForm::createTimer() {
    if (!timerManager_) return nullptr;
    SoundConfig sound;
    sound.soundName = selectedSound_;
    sound.volume = volume_;
    sound.alertMode = alertMode_;
    if (preWarningOption_ > 0) sound.preWarningSeconds = preWarningOption_;

    std::optional<RecurringConfig> recurring;
    if (isRecurring_) {
        RecurringConfig config;
        config.interval = recurringInterval_;
        if (!recurringUnlimited_) config.maxRuns = recurringMaxRuns_;
        recurring = config;
    }

    const double now = timerManager_->clock().now();
    std::optional<double> endDate;
    double total = duration_;
    if (mode_ == TimerMode::EndTime) {
        endDate = endDateAt(now);
        total = std::max(0.0, *endDate - now);
    }
    const std::optional<QString> emoji =
        emoji_.isEmpty() ? std::nullopt : std::optional<QString>(emoji_);
    TimerInstance* timer = timerManager_->createTimer(NewTimer{.name = name_,
                                                               .duration = total,
                                                               .mode = mode_,
                                                               .soundConfig = sound,
                                                               .emoji = emoji,
                                                               .endDate = endDate,
                                                               .recurringConfig = recurring});
    if (startNow_) timer->start();
    return timer;
}

}  // namespace larkspur
