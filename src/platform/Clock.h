#pragma once

namespace larkspur {

// Seconds between the Unix epoch and 2001-01-01 00:00:00 UTC, the epoch of every stored date.
inline constexpr double kReferenceDateOffset = 978307200.0;

// Wall-clock time as seconds (with fraction) since 2001-01-01 00:00:00 UTC.
class Clock {
public:
    virtual ~Clock() = default;
    virtual double now() const = 0;
};

class SystemClock final : public Clock {
public:
    double now() const override;
};

}  // namespace larkspur
