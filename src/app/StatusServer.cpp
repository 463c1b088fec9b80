#include "app/StatusServer.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cmath>

#include "engine/TimerManager.h"
#include "services/SingleInstance.h"

namespace larkspur {

namespace {

// Bursts of changes (a batch of starts) are told once.
constexpr double kCoalesceSeconds = 0.1;
// Wakes just after the shown second has turned, not just before it.
constexpr double kPastTheSecond = 0.005;

double milliRounded(double seconds) {
    return std::round(seconds * 1000) / 1000;
}

}  // namespace

StatusServer::StatusServer(SingleInstance& instance, TimerManager& timers, QObject* parent)
    : QObject(parent), instance_(instance), timers_(timers) {
    connect(&instance_, &SingleInstance::statusWanted, this, &StatusServer::publish);
    connect(&instance_, &SingleInstance::watchingChanged, this, [this](bool watching) {
        watching_ = watching;
        if (!watching_) {
            soon_.cancel();
            nextChange_.cancel();
        }
    });
    connect(&timers_, &TimerManager::timersChanged, this, &StatusServer::publishSoon);
    connect(&timers_, &TimerManager::timerChanged, this, &StatusServer::publishSoon);
}

QByteArray StatusServer::document(const QList<TimerInstance*>& timers) {
    QJsonArray list;
    for (const TimerInstance* timer : timers) {
        QJsonObject entry{{"id", timer->idString()},
                          {"name", timer->name()},
                          {"emoji", timer->emojiText()},
                          {"mode", toRawValue(timer->mode())},
                          {"state", toRawValue(timer->state())},
                          {"remaining", milliRounded(timer->remainingTime())},
                          {"elapsed", milliRounded(timer->elapsedTime())},
                          {"display", timer->displayTime()}};
        std::optional<double> end = timer->dueAt();
        if (!end && timer->mode() == TimerMode::EndTime) end = timer->endDate();
        if (end) entry.insert("endDate", dateTimeAt(*end, Qt::UTC).toString(Qt::ISODate));
        list.append(entry);
    }
    return QJsonDocument(list).toJson(QJsonDocument::Compact);
}

void StatusServer::publish() {
    soon_.cancel();
    const QList<TimerInstance*>& timers = timers_.timers();
    instance_.publishStatus(document(timers));
    if (!watching_) return;
    std::optional<double> next;
    for (const TimerInstance* timer : timers) {
        if (const auto in = timer->secondsUntilDisplayChanges())
            next = std::min(next.value_or(*in), *in);
    }
    if (next) {
        // Many timers turn their seconds at many moments; they are told together, ten times a
        // second at most.
        nextChange_ = timers_.scheduler().after(std::max(*next + kPastTheSecond, kCoalesceSeconds),
                                                [this] { publish(); });
    } else {
        nextChange_.cancel();
    }
}

void StatusServer::publishSoon() {
    if (watching_ && !soon_.isActive())
        soon_ = timers_.scheduler().after(kCoalesceSeconds, [this] { publish(); });
}

}  // namespace larkspur
