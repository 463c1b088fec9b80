#pragma once

#include <QJsonValue>

#include "storage/StorageManager.h"

namespace larkspur {

inline const QString kDailyGoalFile = QStringLiteral("daily-goal.json");

// "daily-goal.json": the bare number of minutes. Written as an exact integer so that every goal
// that can be set also reads back, including those beyond 2^53.
struct DailyGoal {
    qint64 minutes = 120;
};

template <>
struct JsonCodecFor<DailyGoal> {
    static QJsonValue encode(const DailyGoal& v) { return QJsonValue(v.minutes); }
    static DailyGoal decode(const QJsonValue& v);
};

}  // namespace larkspur
