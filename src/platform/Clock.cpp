#include "platform/Clock.h"

#include <chrono>
#include <cmath>

namespace larkspur {

namespace {
// Seconds between the Unix epoch and 2001-01-01 00:00:00 UTC.
constexpr double kReferenceDateOffset = 978307200.0;
constexpr double kMsPerSecond = 1000.0;
}  // namespace

double SystemClock::now() const {
    using namespace std::chrono;
    const auto sinceEpoch = system_clock::now().time_since_epoch();
    return duration<double>(sinceEpoch).count() - kReferenceDateOffset;
}

QDateTime dateTimeAt(double reading, Qt::TimeSpec zone) {
    return QDateTime::fromMSecsSinceEpoch(
        qint64(std::floor((reading + kReferenceDateOffset) * kMsPerSecond)), zone);
}

double clockReadingOf(const QDateTime& moment) {
    return double(moment.toMSecsSinceEpoch()) / kMsPerSecond - kReferenceDateOffset;
}

}  // namespace larkspur
