#pragma once

#include <QLocale>
#include <optional>

namespace larkspur {

// The current calendar day and week as spans of wall-clock seconds since 2001-01-01 UTC, in the
// local time zone, with the week's first day from the locale. Comparing a record's start with
// these bounds is exact and cheap, so no record needs a calendar conversion of its own.
struct StatsPeriods {
    struct Day {
        double start = 0;
        double end = 0;  // the next day's start: not always 24 h later
        bool operator==(const Day&) const = default;
    };

    std::optional<Day> today;         // nothing when the calendar cannot place `now`
    std::optional<double> weekStart;  // likewise

    static StatsPeriods at(double now, const QLocale& locale);

    bool isToday(double t) const { return today && t >= today->start && t < today->end; }
    // Anything from the start of this week on, later weeks included.
    bool isThisWeek(double t) const { return weekStart && t >= *weekStart; }

    bool operator==(const StatsPeriods&) const = default;
};

}  // namespace larkspur
