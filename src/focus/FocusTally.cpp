#include "focus/FocusTally.h"

#include <cmath>
#include <limits>

namespace larkspur {

qint64 wholeMinutes(double seconds) {
    const double minutes = std::trunc(seconds / 60.0);
    if (std::isnan(minutes)) return 0;
    // 2^63 is the first double past the range.
    if (minutes >= 9223372036854775808.0) return std::numeric_limits<qint64>::max();
    if (minutes < -9223372036854775808.0) return std::numeric_limits<qint64>::min();
    return qint64(minutes);
}

void FocusTally::rebuild() {
    seen_ = 0;
    totalSeconds_ = 0;
    periods_.reset();
    figures_ = {};
    catchUp();
}

void FocusTally::catchUp() {
    for (; seen_ < sessions_.size(); ++seen_) {
        const FocusSession& s = sessions_.at(seen_);
        if (s.type != SessionType::Focus) continue;
        if (s.completed) totalSeconds_ += s.focusDuration;
        if (periods_) count(s);
    }
}

void FocusTally::count(const FocusSession& s) {
    const StatsPeriods& periods = *periods_;
    if (periods.isToday(s.startedAt)) {
        figures_.todaySessions.append(s);
        if (s.completed) {
            figures_.todaySeconds += s.focusDuration;
            ++figures_.todayBlocks;
        }
    }
    if (periods.isThisWeek(s.startedAt)) {
        figures_.thisWeekSessions.append(s);
        if (s.completed) ++figures_.weekBlocks;
    }
}

const PeriodFigures& FocusTally::figures(const StatsPeriods& periods) {
    catchUp();
    if (periods_ != periods) {
        periods_ = periods;
        figures_ = {};
        for (const FocusSession& s : sessions_)
            if (s.type == SessionType::Focus) count(s);
    }
    return figures_;
}

}  // namespace larkspur
