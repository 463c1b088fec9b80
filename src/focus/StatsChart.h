#pragma once

#include <QList>
#include <QLocale>
#include <QString>

#include "focus/FocusSession.h"

namespace larkspur {

// One bar of the seven-day chart: the weekday's short name in the locale and its focus minutes.
struct DayMinutes {
    QString label;
    qint64 minutes = 0;

    bool operator==(const DayMinutes&) const = default;
};

// The last seven calendar days in local time, oldest first and today last. A day's minutes are
// the sum of its completed focus records' whole minutes, each record truncated on its own.
QList<DayMinutes> lastSevenDays(const QList<FocusSession>& sessions, double now,
                                const QLocale& locale);
// The newest focus records (completed or skipped), newest first; equal starts keep their order.
QList<FocusSession> recentFocusSessions(const QList<FocusSession>& sessions, int limit = 5);

}  // namespace larkspur
