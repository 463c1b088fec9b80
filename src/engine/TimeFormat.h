#pragma once

#include <QString>

namespace larkspur {

// Longest time the display can show (999999:59:59); larger or non-finite values saturate.
inline constexpr double kMaxDisplaySeconds = 999999.0 * 3600.0 + 3599.0;

// "%02d:%02d" below an hour, else "%d:%02d:%02d"; whole seconds, fraction dropped.
QString formatClock(double seconds);

// The pre-warning amount: whole minutes with "m" from 60 s on, else seconds with "s".
QString formatWarningAmount(qint64 seconds);

}  // namespace larkspur
