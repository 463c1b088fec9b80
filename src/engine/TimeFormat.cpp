#include "engine/TimeFormat.h"

#include <QCoreApplication>
#include <cmath>

namespace larkspur {

QString formatClock(double seconds) {
    if (std::isnan(seconds) || seconds < 0) seconds = 0;
    if (seconds > kMaxDisplaySeconds) seconds = kMaxDisplaySeconds;
    const auto s = static_cast<qint64>(seconds);
    const qint64 h = s / 3600, m = (s % 3600) / 60, sec = s % 60;
    const QChar zero(u'0');
    if (s < 3600) return QStringLiteral("%1:%2").arg(m, 2, 10, zero).arg(sec, 2, 10, zero);
    return QStringLiteral("%1:%2:%3").arg(h).arg(m, 2, 10, zero).arg(sec, 2, 10, zero);
}

QString formatWarningAmount(qint64 seconds) {
    // A minute or second count in a notification.
    if (seconds >= 60) return QCoreApplication::translate("Notifications", "%1m").arg(seconds / 60);
    return QCoreApplication::translate("Notifications", "%1s").arg(seconds);
}

}  // namespace larkspur
