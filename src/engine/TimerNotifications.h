#pragma once

#include "engine/TimerTypes.h"
#include "platform/Notifier.h"

namespace larkspur {

inline const QString kAppTitle = QStringLiteral("Larkspurhollow");

Notification completionNotification(const TimerData& timer);
Notification preWarningNotification(const TimerData& timer);

}  // namespace larkspur
