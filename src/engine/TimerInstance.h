#pragma once

#include <QObject>
#include <QString>
#include <optional>

#include "engine/TimerTypes.h"
#include "platform/Clock.h"
#include "platform/Scheduler.h"

namespace larkspur {

// One timer: its settings and its own arithmetic. Elapsed and remaining time are read from the
// clock, so nothing has to tick for them to be right; while running, one-shots wake it exactly
// at its pre-end warning and at its end. Views that show it moving call tick() (the manager does
// while a view is on screen), which announces the new values.
class TimerInstance final : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString id READ idString CONSTANT)
    Q_PROPERTY(QString name READ name NOTIFY nameChanged)
    Q_PROPERTY(larkspur::TimerMode mode READ mode CONSTANT)
    Q_PROPERTY(larkspur::TimerState state READ state NOTIFY stateChanged)
    Q_PROPERTY(double totalDuration READ totalDuration NOTIFY totalDurationChanged)
    Q_PROPERTY(double elapsedTime READ elapsedTime NOTIFY elapsedTimeChanged)
    Q_PROPERTY(QString emoji READ emojiText NOTIFY nameChanged)
    Q_PROPERTY(bool hasEmoji READ hasEmoji NOTIFY nameChanged)
    Q_PROPERTY(QString color READ colorText CONSTANT)
    Q_PROPERTY(double remainingTime READ remainingTime NOTIFY elapsedTimeChanged)
    Q_PROPERTY(double progress READ progress NOTIFY elapsedTimeChanged)
    Q_PROPERTY(QString displayTime READ displayTime NOTIFY elapsedTimeChanged)

public:
    static constexpr double kTickInterval = 0.1;

    // `data.state` and `data.elapsedTime` are taken as stored; a stored pause keeps its progress.
    TimerInstance(TimerData data, const Clock& clock, Scheduler& scheduler,
                  QObject* parent = nullptr);

    // The record as it would be stored now, the elapsed time read from the clock.
    TimerData data() const;
    QUuid id() const { return data_.id; }
    QString idString() const;
    QString name() const { return data_.name; }
    TimerMode mode() const { return data_.mode; }
    TimerState state() const { return data_.state; }
    double totalDuration() const { return data_.totalDuration; }
    double elapsedTime() const;
    const SoundConfig& soundConfig() const { return data_.soundConfig; }
    const std::optional<QString>& emoji() const { return data_.emoji; }
    QString emojiText() const { return data_.emoji.value_or(QString()); }
    bool hasEmoji() const { return data_.emoji.has_value(); }
    QString colorText() const { return data_.color.value_or(QString()); }
    const std::optional<QString>& color() const { return data_.color; }
    const std::optional<double>& endDate() const { return data_.endDate; }
    bool preWarningFired() const { return data_.preWarningFired; }
    const std::optional<RecurringConfig>& recurringConfig() const { return data_.recurringConfig; }
    void setRunsCompleted(qint64 runs);
    // Edits from the views; the manager writes the list after them.
    void setName(const QString& name);
    void setEmoji(const std::optional<QString>& emoji);
    void setTotalDuration(double seconds);
    // Running, with its end (or its next check) armed.
    bool isArmed() const { return dueShot_.isActive() || warningShot_.isActive(); }

    double remainingTime() const;
    double progress() const;
    QString displayTime() const;
    // The wall-clock moment a running timer ends (or ended, when overdue); nothing for a
    // stopwatch or a timer that does not run.
    std::optional<double> dueAt() const;
    // Seconds until displayTime() shows another text while running; nothing otherwise.
    std::optional<double> secondsUntilDisplayChanges() const;

    Q_INVOKABLE void start();
    Q_INVOKABLE void pause();
    Q_INVOKABLE void resume();
    Q_INVOKABLE void reset();

    // A timer restored as running continues from its stored elapsed time.
    void continueAfterRestore();
    // Disarms it for good, as when the timer leaves the list.
    void detach();

    // Announces the current elapsed time and runs what is due (warning, end).
    void tick();
    // Measures the timer on the clock now and arms its one-shots again, as after a sleep.
    void reevaluate();

Q_SIGNALS:
    void nameChanged();
    void stateChanged(larkspur::TimerState state);
    void totalDurationChanged();
    void elapsedTimeChanged();
    void preWarningDue();
    // Something worth writing to disk happened: a change of state or a new lap.
    void persistentChange();

private:
    void setState(TimerState state);
    void setElapsed(double elapsed);
    void arm();
    void disarm();
    void armDueShot();
    void armWarningShot();
    void onDue();
    void checkWarning();
    double runningElapsed() const;

    TimerData data_;
    const Clock& clock_;
    Scheduler& scheduler_;
    TaskHandle dueShot_;
    TaskHandle warningShot_;
    std::optional<double> startDate_;
    double accumulatedBeforePause_ = 0;
};

}  // namespace larkspur
