#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include "platform/Scheduler.h"

namespace larkspur {

// Runs every scheduled task from one precise single-shot QTimer armed for the earliest due time,
// so a thousand tickers cost one timer and idle costs nothing.
class QtScheduler final : public QObject, public Scheduler {
    Q_OBJECT
public:
    explicit QtScheduler(QObject* parent = nullptr);

    TaskHandle after(double delaySeconds, Task task) override;
    TaskHandle every(double periodSeconds, Task task) override;

    double monotonicNow() const;

private:
    TaskHandle add(double delay, double period, Task task);
    void fire();
    void rearm();

    QElapsedTimer elapsed_;
    QTimer timer_;
    TaskQueue queue_;
    double armedFor_ = -1;
    bool firing_ = false;
};

}  // namespace larkspur
