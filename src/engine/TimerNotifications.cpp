#include "engine/TimerNotifications.h"

#include <QCoreApplication>

#include "engine/TimeFormat.h"
#include "engine/TimerText.h"
#include "storage/JsonCodec.h"

namespace larkspur {

namespace {
QString subject(const TimerData& timer) {
    // The title line of a notification is one line.
    return timer.emoji.value_or(QStringLiteral("\u23F1")) + QLatin1Char(' ') + oneLine(timer.name);
}
}  // namespace

Notification completionNotification(const TimerData& timer) {
    return {
        json::uuidToString(timer.id), kAppTitle,
        QCoreApplication::translate("Notifications", "%1 \u2014 Time's up!").arg(subject(timer))};
}

Notification preWarningNotification(const TimerData& timer) {
    const qint64 p = timer.soundConfig.preWarningSeconds.value_or(0);
    return {json::uuidToString(timer.id) + QStringLiteral("-prewarn"), kAppTitle,
            QCoreApplication::translate("Notifications", "%1 \u2014 %2 remaining!")
                .arg(subject(timer), formatWarningAmount(p))};
}

}  // namespace larkspur
