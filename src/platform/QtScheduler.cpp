#include "platform/QtScheduler.h"

#include <algorithm>
#include <cmath>

namespace larkspur {

QtScheduler::QtScheduler(QObject* parent) : QObject(parent) {
    elapsed_.start();
    timer_.setSingleShot(true);
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, &QtScheduler::fire);
}

double QtScheduler::monotonicNow() const {
    return double(elapsed_.nsecsElapsed()) / 1e9;
}

TaskHandle QtScheduler::after(double delaySeconds, Task task) {
    return add(delaySeconds, 0, std::move(task));
}

TaskHandle QtScheduler::every(double periodSeconds, Task task) {
    return add(periodSeconds, std::max(periodSeconds, 0.001), std::move(task));
}

TaskHandle QtScheduler::add(double delay, double period, Task task) {
    if (!std::isfinite(delay) || delay < 0) delay = 0;
    const double due = monotonicNow() + delay;
    TaskHandle handle = queue_.add(due, period, std::move(task));
    if (!firing_ && (armedFor_ < 0 || due < armedFor_)) rearm();
    return handle;
}

void QtScheduler::fire() {
    firing_ = true;
    queue_.runDue(monotonicNow());
    firing_ = false;
    rearm();
}

void QtScheduler::rearm() {
    const double due = queue_.nextDue();
    if (due < 0) {
        timer_.stop();
        armedFor_ = -1;
        return;
    }
    // Round up so the timer never wakes before the task is due.
    const double waitMs = std::ceil((due - monotonicNow()) * 1000.0);
    timer_.start(int(std::clamp(waitMs, 0.0, 2.0e9)));
    armedFor_ = due;
}

}  // namespace larkspur
