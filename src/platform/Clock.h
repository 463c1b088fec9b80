#pragma once

#include <QDateTime>

namespace larkspur {

// Wall-clock time as seconds (with fraction) since 2001-01-01 00:00:00 UTC: the time base of
// every stored date, kept as it is so that a date read and written again is the same number.
class Clock {
public:
    virtual ~Clock() = default;
    virtual double now() const = 0;
};

class SystemClock final : public Clock {
public:
    double now() const override;
};

// Calendar time of a clock reading, rounded down to the millisecond, in `zone`.
QDateTime dateTimeAt(double reading, Qt::TimeSpec zone = Qt::LocalTime);
// The clock reading of a moment.
double clockReadingOf(const QDateTime& moment);

}  // namespace larkspur
