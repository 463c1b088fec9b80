#pragma once

#include <QDateTime>
#include <QTest>

#include "focus/FocusSession.h"
#include "platform/Clock.h"

namespace larkspur::test {

// A local wall-clock time ("2024-05-15T12:00:00") as stored seconds, plus `shift` seconds.
inline double localTime(const QString& iso, double shift = 0) {
    const QDateTime t = QDateTime::fromString(iso, Qt::ISODate);
    if (!t.isValid()) qFatal("bad local time in a test: %s", qPrintable(iso));
    return double(t.toMSecsSinceEpoch()) / 1000.0 - kReferenceDateOffset + shift;
}

inline FocusSession record(double startedAt, double seconds, bool completed = true,
                           SessionType type = SessionType::Focus) {
    FocusSession s;
    s.id = QUuid::createUuid();
    s.startedAt = startedAt;
    s.endedAt = startedAt + seconds;
    s.focusDuration = seconds;
    s.type = type;
    s.completed = completed;
    return s;
}

}  // namespace larkspur::test
