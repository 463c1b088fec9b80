#include "focus/StatsPeriods.h"

#include <QDateTime>
#include <cmath>

#include "platform/Clock.h"

namespace larkspur {

namespace {

// Far beyond any real date, and well inside what QDateTime handles.
constexpr double kLimitSeconds = 1e13;

std::optional<double> startOf(const QDate& date) {
    const QDateTime start = date.startOfDay();
    if (!start.isValid()) return std::nullopt;
    return clockReadingOf(start);
}

}  // namespace

StatsPeriods StatsPeriods::at(double now, const QLocale& locale) {
    StatsPeriods periods;
    if (!std::isfinite(now) || std::abs(now) > kLimitSeconds) return periods;
    // Whole milliseconds, rounded down, place `now` in the right day: day bounds are whole.
    const QDate date = dateTimeAt(now).date();
    if (!date.isValid()) return periods;

    const auto start = startOf(date);
    const auto end = startOf(date.addDays(1));
    if (start && end) periods.today = Day{*start, *end};

    const int daysIntoWeek = (date.dayOfWeek() - int(locale.firstDayOfWeek()) + 7) % 7;
    periods.weekStart = startOf(date.addDays(-daysIntoWeek));
    return periods;
}

}  // namespace larkspur
