#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <functional>
#include <optional>
#include <vector>

#include "engine/TimerInstance.h"
#include "engine/TimerSequence.h"
#include "platform/Notifier.h"

namespace larkspur {

class StorageManager;

inline const QString kActiveTimersFile = QStringLiteral("active-timers.json");

// Owns every timer, persists the list, and runs what follows a completion.
class TimerManager final : public QObject {
    Q_OBJECT
    Q_PROPERTY(quint64 tick READ tick NOTIFY tickChanged)
    // Set while a view that shows timers moving is on screen: only then do running timers tick
    // ten times a second and the refresh counter count.
    Q_PROPERTY(bool viewsVisible READ viewsVisible WRITE setViewsVisible NOTIFY viewsVisibleChanged)
    Q_PROPERTY(int activeCount READ activeCount NOTIFY timersChanged)
    Q_PROPERTY(QList<larkspur::TimerInstance*> timers READ timers NOTIFY timersChanged)
    Q_PROPERTY(
        QList<larkspur::TimerInstance*> runningTimers READ runningTimers NOTIFY timersChanged)

public:
    static constexpr double kRefreshInterval = 0.5;
    static constexpr double kSequenceStepDelay = 0.5;
    static constexpr double kRecurringRestartDelay = 1.0;

    TimerManager(const StorageManager& storage, const Clock& clock, Scheduler& scheduler,
                 Notifier& notifier, QObject* parent = nullptr);
    ~TimerManager() override;

    // While one lives, the list's signals wait: a thousand timers made at once (a batch of URL
    // commands) reach the views as one insertion and one change instead of a thousand each.
    class Batch {
    public:
        explicit Batch(TimerManager& manager);
        ~Batch();
        Batch(const Batch&) = delete;
        Batch& operator=(const Batch&) = delete;

    private:
        QPointer<TimerManager> manager_;
    };

    const QList<TimerInstance*>& timers() const { return timers_; }
    // The leading timers the views have been told of: those made during a batch come later,
    // by timersInserted, so a view that starts in the middle of a batch takes only these.
    qsizetype announcedCount() const {
        return firstUnannounced_ < 0 ? timers_.size() : firstUnannounced_;
    }
    TimerInstance* timer(const QUuid& id) const;
    quint64 tick() const { return tick_; }
    const std::optional<TimerSequence>& activeSequence() const { return activeSequence_; }

    using CompletionHandler = std::function<void(TimerInstance*)>;
    void setOnTimerCompleted(CompletionHandler handler) { onTimerCompleted_ = std::move(handler); }

    TimerInstance* createTimer(const NewTimer& request);
    void removeTimer(const QUuid& id);
    Q_INVOKABLE void removeTimer(const QString& id);
    // Removes them all in one pass and tells each run of neighbouring rows once, so that
    // clearing ten thousand timers is neither ten thousand scans nor ten thousand row removals.
    void removeTimers(const QList<QUuid>& ids);
    // The edit form of a timer card: name and emoji always (an empty emoji stays empty), the
    // length only while the timer is idle. Written to disk at once.
    Q_INVOKABLE void applyEdit(larkspur::TimerInstance* timer, const QString& name,
                               const QString& emoji, double duration);
    const Clock& clock() const { return clock_; }
    Scheduler& scheduler() const { return scheduler_; }
    bool viewsVisible() const { return viewsVisible_; }
    void setViewsVisible(bool visible);
    Q_INVOKABLE void pauseAll();
    Q_INVOKABLE void resetAll();
    int activeCount() const;
    QList<TimerInstance*> runningTimers() const;
    void startSequence(const TimerSequence& sequence);

    // Timers restored as running count on from their stored time once the program has launched.
    void continueRestoredTimers();
    // Writes the list now. Changes otherwise ask for a write on the next pass of the event loop,
    // so that a burst of them (fifty timers ending at once) writes the list once.
    void saveTimers();
    void requestSave();
    // After the machine slept or the wall clock was stepped: every running timer is measured
    // again at once, and what fell due meanwhile completes, in the order of its due instants.
    void reevaluate();

Q_SIGNALS:
    void tickChanged();
    void viewsVisibleChanged();
    void timersChanged();
    // Before timersChanged, so that list views animate only the timers that came or went; the
    // timers made during a batch come as one range, and so do neighbours removed together.
    void timersInserted(int first, int last);
    void timersRemoved(int first, int last);
    void activeSequenceChanged();
    // Relayed, on a later pass of the event loop, for a change of any timer's name, state or
    // length (not for its ticks).
    void timerChanged();

private:
    void restoreTimers();
    TimerInstance* adopt(TimerData data);
    void runCompletionSteps(TimerInstance* timer);
    void advanceSequenceIfNeeded(TimerInstance* completed);
    void handleRecurringIfNeeded(TimerInstance* completed);
    void createAndStartStep(const TimerSequence& sequence, qsizetype index);
    void defer(double delay, std::function<void()> step);
    void relayChange();
    void listChanged();
    void announceInserted();
    void updateTicking();
    void tickRunning();

    const StorageManager& storage_;
    const Clock& clock_;
    Scheduler& scheduler_;
    Notifier& notifier_;
    QList<TimerInstance*> timers_;
    quint64 tick_ = 0;
    std::optional<TimerSequence> activeSequence_;
    CompletionHandler onTimerCompleted_;
    TaskHandle refreshTicker_;
    TaskHandle liveTicker_;
    TaskHandle saveShot_;
    std::vector<TaskHandle> deferred_;
    bool viewsVisible_ = false;
    bool relayPending_ = false;
    int batchDepth_ = 0;
    qsizetype firstUnannounced_ = -1;  // of the timers made during a batch
    bool batchChanged_ = false;
};

}  // namespace larkspur
