#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>

#include "platform/Scheduler.h"

namespace larkspur {

class SingleInstance;
class TimerInstance;
class TimerManager;

// Answers `larkspurhollow --status` from the timer list. While a client follows the status it
// publishes again when a timer changes and when a running timer's shown time moves on, and not
// more often: the timers themselves never tick for it.
class StatusServer final : public QObject {
    Q_OBJECT
public:
    StatusServer(SingleInstance& instance, TimerManager& timers, QObject* parent = nullptr);

    // The timers in list order as a JSON array: id, name, emoji, mode, state, remaining and
    // elapsed seconds, display, and endDate (ISO 8601, UTC) for one with an end.
    static QByteArray document(const QList<TimerInstance*>& timers);

private:
    void publish();
    void publishSoon();

    SingleInstance& instance_;
    TimerManager& timers_;
    bool watching_ = false;
    TaskHandle soon_;
    TaskHandle nextChange_;
};

}  // namespace larkspur
