#include "focus/DailyGoal.h"

#include <QVariant>

namespace larkspur {

DailyGoal JsonCodecFor<DailyGoal>::decode(const QJsonValue& v) {
    // The parser keeps integral numbers within 64 bits exactly; others are doubles.
    const QVariant exact = v.toVariant();
    if (exact.typeId() == QMetaType::LongLong) return DailyGoal{exact.toLongLong()};
    return DailyGoal{json::toInteger(v, QStringLiteral("dailyGoalMinutes"))};
}

}  // namespace larkspur
