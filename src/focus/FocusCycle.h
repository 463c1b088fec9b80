#pragma once

#include <QObject>
#include <QString>
#include <optional>

#include "engine/TimerTypes.h"
#include "focus/FocusSession.h"
#include "platform/Clock.h"
#include "platform/Notifier.h"
#include "platform/Scheduler.h"

namespace larkspur {

class SoundManager;
class StatsManager;

inline const QString kFocusConfigFile = QStringLiteral("focus-config.json");

// The work/break cycle of focus mode. It lives as long as the program, so leaving the tab or
// hiding the panel loses nothing. A phase is measured on the clock and ends at its due instant
// from a one-shot; views that show it moving call setViewsVisible(true) to get ten ticks a
// second. Every ended or skipped phase is logged with the statistics manager.
class FocusCycle final : public QObject {
    Q_OBJECT
    Q_PROPERTY(larkspur::focusmeta::SessionType currentPhase READ currentPhase NOTIFY changed)
    Q_PROPERTY(int currentSession READ currentSession NOTIFY changed)
    Q_PROPERTY(int sessionsBeforeLongBreak READ sessionsBeforeLongBreak NOTIFY changed)
    Q_PROPERTY(larkspur::TimerState timerState READ timerState NOTIFY changed)
    Q_PROPERTY(QString taskLabel READ taskLabel WRITE setTaskLabel NOTIFY taskLabelChanged)
    Q_PROPERTY(double totalDuration READ totalDuration NOTIFY changed)
    Q_PROPERTY(double remaining READ remaining NOTIFY ticked)
    Q_PROPERTY(double progress READ progress NOTIFY ticked)
    Q_PROPERTY(QString displayTime READ displayTime NOTIFY ticked)
    // The configuration, for the settings sheet to start from.
    Q_PROPERTY(double focusDuration READ focusDuration NOTIFY changed)
    Q_PROPERTY(double shortBreakDuration READ shortBreakDuration NOTIFY changed)
    Q_PROPERTY(double longBreakDuration READ longBreakDuration NOTIFY changed)
    Q_PROPERTY(bool autoStartBreaks READ autoStartBreaks NOTIFY changed)
    Q_PROPERTY(bool autoStartFocus READ autoStartFocus NOTIFY changed)

public:
    static constexpr double kTickInterval = 0.1;
    static constexpr double kAutoAdvanceDelay = 1.0;
    static inline const QString kNotificationId = QStringLiteral("focus-cycle");

    // The configuration is read from "focus-config.json"; without a readable one, the defaults.
    FocusCycle(const StorageManager& storage, const Clock& clock, Scheduler& scheduler,
               StatsManager& stats, SoundManager& sounds, Notifier& notifier,
               QObject* parent = nullptr);

    const FocusConfig& config() const { return config_; }
    SessionType currentPhase() const { return phase_; }
    int currentSession() const { return session_; }
    int sessionsBeforeLongBreak() const { return int(config_.sessionsBeforeLongBreak); }
    double focusDuration() const { return config_.focusDuration; }
    double shortBreakDuration() const { return config_.shortBreakDuration; }
    double longBreakDuration() const { return config_.longBreakDuration; }
    bool autoStartBreaks() const { return config_.autoStartBreaks; }
    bool autoStartFocus() const { return config_.autoStartFocus; }
    TimerState timerState() const { return state_; }
    QString taskLabel() const { return taskLabel_; }
    void setTaskLabel(const QString& label);
    double totalDuration() const { return total_; }
    double remaining() const;
    double progress() const;
    // Rounded up to a whole second; minutes are not limited to 59 ("90:00").
    QString displayTime() const;

    // Ticks ten times a second only while a view shows the cycle.
    void setViewsVisible(bool visible);

    Q_INVOKABLE void toggleTimer();
    Q_INVOKABLE void skipPhase();
    Q_INVOKABLE void resetAll();
    // Applies and stores a configuration; the current phase restarts at its new full length.
    void applyConfig(const FocusConfig& config);
    Q_INVOKABLE void applyConfig(double focusDuration, double shortBreakDuration,
                                 double longBreakDuration, int sessionsBeforeLongBreak,
                                 bool autoStartBreaks, bool autoStartFocus) {
        applyConfig(FocusConfig{focusDuration, shortBreakDuration, longBreakDuration,
                                sessionsBeforeLongBreak, autoStartBreaks, autoStartFocus});
    }
    // After a sleep or a step of the clock: a phase that fell due ends at once.
    void reevaluate();

Q_SIGNALS:
    void changed();
    void ticked();
    void taskLabelChanged();

private:
    void advanceToNextPhase();
    void applyPhaseDuration();
    void startRunning();
    void stopRunning();
    void armEnd();
    void onDue();
    void timerCompleted();
    void logPhase(double duration, bool completed, double endedAt);
    void updateTicking();
    bool autoStarts(SessionType phase) const;

    const StorageManager& storage_;
    const Clock& clock_;
    Scheduler& scheduler_;
    StatsManager& stats_;
    SoundManager& sounds_;
    Notifier& notifier_;
    FocusConfig config_;
    SessionType phase_ = SessionType::Focus;
    int session_ = 1;
    TimerState state_ = TimerState::Idle;
    QString taskLabel_;
    double total_ = 0;
    double remaining_ = 0;                // while not running
    std::optional<double> runningSince_;  // wall clock, while running
    double sessionStartedAt_ = 0;
    bool viewsVisible_ = false;
    TaskHandle endShot_;
    TaskHandle advanceShot_;
    TaskHandle ticker_;
};

}  // namespace larkspur
