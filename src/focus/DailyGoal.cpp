#include "focus/DailyGoal.h"

#include <QVariant>

namespace larkspur {

DailyGoal JsonCodecFor<DailyGoal>::decode(const QJsonValue& v) {
    // Anything but a number would be converted whole (an array of millions of values), only to
    // be refused below.
    if (!v.isDouble()) return DailyGoal{json::toInteger(v, QStringLiteral("dailyGoalMinutes"))};
    // The parser keeps integral numbers within 64 bits exactly; others are doubles.
    const QVariant exact = v.toVariant();
    if (exact.typeId() == QMetaType::LongLong) return DailyGoal{exact.toLongLong()};
    return DailyGoal{json::toInteger(v, QStringLiteral("dailyGoalMinutes"))};
}

}  // namespace larkspur
