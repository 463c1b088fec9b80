#pragma once

#include <QList>
#include <optional>

#include "focus/FocusSession.h"
#include "focus/StatsPeriods.h"

namespace larkspur {

// Seconds as whole minutes, truncated toward zero; sums beyond the integer range saturate.
qint64 wholeMinutes(double seconds);

// Today's and this week's focus records and their completed totals.
struct PeriodFigures {
    QList<FocusSession> todaySessions;
    QList<FocusSession> thisWeekSessions;
    double todaySeconds = 0;
    qint64 todayBlocks = 0;
    qint64 weekBlocks = 0;
};

// The statistics over a session list that only grows at its end. The all-time sum grows with each
// record; today's and this week's figures are rebuilt only when the periods move on, and
// otherwise take each new record as it comes. Sums are taken in list order either way, so they
// equal a fresh walk over the whole list to the last bit.
class FocusTally {
public:
    explicit FocusTally(const QList<FocusSession>& sessions) : sessions_(sessions) {}

    // After the list was replaced as a whole.
    void rebuild();
    // After records were appended to the list.
    void catchUp();

    double totalSeconds() const { return totalSeconds_; }
    const PeriodFigures& figures(const StatsPeriods& periods);
    // The periods of the figures last taken, if any were.
    const std::optional<StatsPeriods>& periods() const { return periods_; }
    // Whether the figures last taken belong to other periods.
    bool isStale(const StatsPeriods& periods) const { return periods_ && *periods_ != periods; }

private:
    void count(const FocusSession& session);

    const QList<FocusSession>& sessions_;
    qsizetype seen_ = 0;
    double totalSeconds_ = 0;
    std::optional<StatsPeriods> periods_;
    PeriodFigures figures_;
};

}  // namespace larkspur
