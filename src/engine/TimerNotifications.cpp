#include "engine/TimerNotifications.h"

#include "engine/TimeFormat.h"
#include "storage/JsonCodec.h"

namespace larkspur {

namespace {
QString subject(const TimerData& timer) {
    return timer.emoji.value_or(QStringLiteral("\u23F1")) + QLatin1Char(' ') + timer.name;
}
}  // namespace

Notification completionNotification(const TimerData& timer) {
    return {json::uuidToString(timer.id), kAppTitle,
            subject(timer) + QStringLiteral(" \u2014 Time's up!")};
}

Notification preWarningNotification(const TimerData& timer) {
    const qint64 p = timer.soundConfig.preWarningSeconds.value_or(0);
    return {json::uuidToString(timer.id) + QStringLiteral("-prewarn"), kAppTitle,
            subject(timer) + QStringLiteral(" \u2014 ") + formatWarningAmount(p) +
                QStringLiteral(" remaining!")};
}

}  // namespace larkspur
