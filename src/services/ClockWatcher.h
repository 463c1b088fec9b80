#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QSocketNotifier>

#include <memory>

namespace larkspur {

// Tells when the wall clock may have moved other than by running on: the machine woke from
// sleep (logind on the system bus) or the clock was set (a kernel timer cancelled by any step).
// Waits on both without waking the program in between.
class ClockWatcher final : public QObject {
    Q_OBJECT
public:
    explicit ClockWatcher(QObject* parent = nullptr);
    explicit ClockWatcher(const QDBusConnection& systemBus, QObject* parent = nullptr);
    ~ClockWatcher() override;

    bool watchesSleep() const { return watchesSleep_; }
    bool watchesClockSteps() const { return notifier_ != nullptr; }

Q_SIGNALS:
    void wallClockMoved();

private Q_SLOTS:
    // By name: QtDBus connects signals of a remote object through the string syntax.
    void onPrepareForSleep(bool sleeping);

private:
    bool armStepTimer();
    void onStepTimerReadable();
    void stopWatchingSteps();

    int stepFd_ = -1;
    std::unique_ptr<QSocketNotifier> notifier_;
    bool watchesSleep_ = false;
};

}  // namespace larkspur
