#include "app/StopActionNotifier.h"

#include <QCoreApplication>

#include "engine/TimerManager.h"
#include "storage/JsonCodec.h"

namespace larkspur {

void StopActionNotifier::post(const Notification& notification) {
    QStringList actions;
    // A completion notification carries the bare timer id; the pre-warning's has a suffix.
    if (timers_) {
        if (const auto id = json::tryParseUuid(notification.identifier)) {
            const TimerInstance* timer = timers_->timer(*id);
            if (timer && timer->soundConfig().alertMode == AlertMode::LoopUntilDismissed)
                actions << kStopAction << QCoreApplication::translate("Notifications", "Stop");
        }
    }
    poster_(notification, actions);
}

}  // namespace larkspur
