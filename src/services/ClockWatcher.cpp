#include "services/ClockWatcher.h"

#include <sys/timerfd.h>
#include <unistd.h>
#include <cerrno>
#include <cstdint>
#include <ctime>

namespace larkspur {

namespace {

const QString kLogind = QStringLiteral("org.freedesktop.login1");
const QString kLogindPath = QStringLiteral("/org/freedesktop/login1");
const QString kLogindManager = QStringLiteral("org.freedesktop.login1.Manager");
// The step timer is only ever meant to be cancelled, so it is due long after any uptime.
constexpr time_t kNeverDue = time_t(100) * 365 * 24 * 3600;

}  // namespace

ClockWatcher::ClockWatcher(QObject* parent) : ClockWatcher(QDBusConnection::systemBus(), parent) {}

ClockWatcher::ClockWatcher(const QDBusConnection& systemBus, QObject* parent) : QObject(parent) {
    // No inhibitor lock: nothing needs doing before the machine sleeps, only after.
    QDBusConnection bus(systemBus);
    watchesSleep_ = bus.isConnected() && bus.connect(kLogind, kLogindPath, kLogindManager,
                                                     QStringLiteral("PrepareForSleep"), this,
                                                     SLOT(onPrepareForSleep(bool)));

    stepFd_ = ::timerfd_create(CLOCK_REALTIME, TFD_NONBLOCK | TFD_CLOEXEC);
    if (stepFd_ < 0) return;
    if (!armStepTimer()) {
        stopWatchingSteps();
        return;
    }
    notifier_ = std::make_unique<QSocketNotifier>(stepFd_, QSocketNotifier::Read);
    connect(notifier_.get(), &QSocketNotifier::activated, this, &ClockWatcher::onStepTimerReadable);
}

ClockWatcher::~ClockWatcher() {
    stopWatchingSteps();
}

void ClockWatcher::onPrepareForSleep(bool sleeping) {
    if (!sleeping) Q_EMIT wallClockMoved();
}

bool ClockWatcher::armStepTimer() {
    timespec now = {};
    if (::clock_gettime(CLOCK_REALTIME, &now) != 0) return false;
    itimerspec due = {};
    due.it_value.tv_sec = now.tv_sec + kNeverDue;
    const int flags = TFD_TIMER_ABSTIME | TFD_TIMER_CANCEL_ON_SET;
    return ::timerfd_settime(stepFd_, flags, &due, nullptr) == 0;
}

void ClockWatcher::onStepTimerReadable() {
    std::uint64_t expirations = 0;
    ssize_t n;
    do {
        n = ::read(stepFd_, &expirations, sizeof expirations);
    } while (n < 0 && errno == EINTR);
    const bool stepped = n < 0 && errno == ECANCELED;
    if (!stepped && n != ssize_t(sizeof expirations)) return;  // woken for nothing
    // Armed again before anyone hears of it, so that a step meanwhile is not missed.
    if (!armStepTimer()) stopWatchingSteps();
    if (stepped) Q_EMIT wallClockMoved();
}

void ClockWatcher::stopWatchingSteps() {
    notifier_.reset();
    if (stepFd_ >= 0) ::close(stepFd_);
    stepFd_ = -1;
}

}  // namespace larkspur
