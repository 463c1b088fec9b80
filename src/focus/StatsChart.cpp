#include "focus/StatsChart.h"

#include <QDateTime>
#include <algorithm>
#include <array>
#include <limits>

#include "focus/FocusTally.h"
#include "platform/Clock.h"

namespace larkspur {

namespace {
qint64 saturatingAdd(qint64 a, qint64 b) {
    qint64 sum = 0;
    if (!__builtin_add_overflow(a, b, &sum)) return sum;
    return b > 0 ? std::numeric_limits<qint64>::max() : std::numeric_limits<qint64>::min();
}
}  // namespace

QList<DayMinutes> lastSevenDays(const QList<FocusSession>& sessions, double now,
                                const QLocale& locale) {
    constexpr int kDays = 7;
    QList<DayMinutes> days;
    const QDate today = dateTimeAt(now).date();
    if (!today.isValid()) return days;
    // Day bounds as clock readings, so that each record is placed by comparisons alone.
    std::array<double, kDays + 1> bounds{};
    for (int i = 0; i <= kDays; ++i)
        bounds[std::size_t(i)] = clockReadingOf(today.addDays(i - kDays + 1).startOfDay());
    std::array<qint64, kDays> minutes{};
    for (const FocusSession& s : sessions) {
        if (s.type != SessionType::Focus || !s.completed) continue;
        const auto* at = std::upper_bound(bounds.begin(), bounds.end(), s.startedAt);
        if (at == bounds.begin() || at == bounds.end()) continue;
        const auto day = std::size_t(at - bounds.begin() - 1);
        minutes[day] = saturatingAdd(minutes[day], wholeMinutes(s.focusDuration));
    }
    for (int i = 0; i < kDays; ++i)
        days.append({locale.toString(today.addDays(i - kDays + 1), QStringLiteral("ddd")),
                     minutes[std::size_t(i)]});
    return days;
}

QList<FocusSession> recentFocusSessions(const QList<FocusSession>& sessions, int limit) {
    QList<FocusSession> focus;
    std::copy_if(sessions.begin(), sessions.end(), std::back_inserter(focus),
                 [](const FocusSession& s) { return s.type == SessionType::Focus; });
    std::stable_sort(focus.begin(), focus.end(), [](const FocusSession& a, const FocusSession& b) {
        return a.startedAt > b.startedAt;
    });
    if (focus.size() > limit) focus.resize(std::max(limit, 0));
    return focus;
}

}  // namespace larkspur
