#include "focus/StatsManager.h"

#include <algorithm>
#include <cmath>

#include "focus/DailyGoal.h"
#include "focus/StatsChart.h"
#include "platform/Log.h"
#include "storage/StorageManager.h"

namespace larkspur {

namespace {

bool isStorable(const FocusSession& s) {
    return std::isfinite(s.startedAt) && std::isfinite(s.focusDuration) &&
           (!s.endedAt || std::isfinite(*s.endedAt));
}

}  // namespace

StatsManager::StatsManager(const StorageManager& storage, const Clock& clock, QObject* parent)
    : StatsManager(storage, clock, std::nullopt, parent) {}

StatsManager::StatsManager(const StorageManager& storage, const Clock& clock, const QLocale& locale,
                           QObject* parent)
    : StatsManager(storage, clock, std::optional<QLocale>(locale), parent) {}

StatsManager::StatsManager(const StorageManager& storage, const Clock& clock,
                           std::optional<QLocale> locale, QObject* parent)
    : QObject(parent),
      storage_(storage),
      clock_(clock),
      locale_(std::move(locale)),
      file_(storage) {
    if (auto stored = file_.load()) sessions_ = std::move(*stored);
    tally_.rebuild();
    if (auto goal = storage_.load<DailyGoal>(kDailyGoalFile)) dailyGoalMinutes_ = goal->minutes;
}

bool StatsManager::logSession(const FocusSession& session) {
    if (!isStorable(session)) {
        logLine(QStringLiteral("StatsManager error: session %1 not recorded: its times are not "
                               "finite numbers")
                    .arg(session.idString()));
        return false;
    }
    sessions_.append(session);
    tally_.catchUp();
    file_.save(sessions_);
    Q_EMIT sessionsChanged();
    Q_EMIT figuresChanged();
    return true;
}

void StatsManager::setDailyGoalMinutes(qint64 minutes) {
    const bool changed = minutes != dailyGoalMinutes_;
    dailyGoalMinutes_ = minutes;
    storage_.save(DailyGoal{minutes}, kDailyGoalFile);
    if (!changed) return;
    Q_EMIT dailyGoalMinutesChanged();
    Q_EMIT figuresChanged();
}

double StatsManager::dailyGoalProgress() const {
    if (dailyGoalMinutes_ < 1) return 0.0;
    const double progress = double(todayFocusMinutes()) / double(dailyGoalMinutes_);
    // Negative stored lengths could pull the ratio below zero; the figure is a share of 0 … 1.
    return std::clamp(progress, 0.0, 1.0);
}

void StatsManager::refreshPeriods() {
    // Called on every refresh tick: within the day last looked at nothing can have moved on,
    // and telling so needs no calendar (whose time-zone lookups touch the disk).
    const double now = clock_.now();
    if (const auto& taken = tally_.periods(); taken && taken->isToday(now)) return;
    const StatsPeriods periods = StatsPeriods::at(now, locale_ ? *locale_ : QLocale::system());
    if (!tally_.periods()) {
        // Nothing was read yet: take the figures once so that later ticks can skip the calendar.
        tally_.figures(periods);
        return;
    }
    if (!tally_.isStale(periods)) return;
    tally_.figures(periods);
    Q_EMIT figuresChanged();
}

StatsPeriods StatsManager::periodsNow() const {
    return StatsPeriods::at(clock_.now(), locale_ ? *locale_ : QLocale::system());
}

QVariantList StatsManager::lastSevenDays() const {
    QVariantList days;
    for (const DayMinutes& day :
         larkspur::lastSevenDays(sessions_, clock_.now(), locale_ ? *locale_ : QLocale::system()))
        days.append(QVariantMap{{QStringLiteral("label"), day.label},
                                {QStringLiteral("minutes"), day.minutes}});
    return days;
}

QList<FocusSession> StatsManager::recentSessions() const {
    return recentFocusSessions(sessions_);
}

}  // namespace larkspur
