#pragma once

#include <QList>
#include <QLocale>
#include <QObject>
#include <QVariantList>
#include <optional>

#include "focus/FocusSession.h"
#include "focus/FocusTally.h"
#include "focus/SessionHistoryFile.h"
#include "platform/Clock.h"

namespace larkspur {

class StorageManager;

// The history of focus-mode phases and the daily goal, with the figures the statistics view
// shows. Day and week follow the local time zone and the locale's first day of the week at the
// moment of each read.
class StatsManager final : public QObject {
    Q_OBJECT
    Q_PROPERTY(QList<larkspur::FocusSession> sessions READ sessions NOTIFY sessionsChanged)
    Q_PROPERTY(qint64 dailyGoalMinutes READ dailyGoalMinutes WRITE setDailyGoalMinutes NOTIFY
                   dailyGoalMinutesChanged)
    Q_PROPERTY(QList<larkspur::FocusSession> todaySessions READ todaySessions NOTIFY figuresChanged)
    Q_PROPERTY(
        QList<larkspur::FocusSession> thisWeekSessions READ thisWeekSessions NOTIFY figuresChanged)
    Q_PROPERTY(qint64 todayFocusMinutes READ todayFocusMinutes NOTIFY figuresChanged)
    Q_PROPERTY(qint64 todayFocusBlocks READ todayFocusBlocks NOTIFY figuresChanged)
    Q_PROPERTY(qint64 weekFocusBlocks READ weekFocusBlocks NOTIFY figuresChanged)
    Q_PROPERTY(qint64 totalFocusMinutes READ totalFocusMinutes NOTIFY figuresChanged)
    Q_PROPERTY(double dailyGoalProgress READ dailyGoalProgress NOTIFY figuresChanged)

public:
    static constexpr qint64 kDefaultDailyGoalMinutes = 120;

    // Weeks start as the system locale says, looked up afresh on every read.
    StatsManager(const StorageManager& storage, const Clock& clock, QObject* parent = nullptr);
    StatsManager(const StorageManager& storage, const Clock& clock, const QLocale& locale,
                 QObject* parent = nullptr);

    const QList<FocusSession>& sessions() const { return sessions_; }
    // Appends and rewrites "focus-sessions.json". A record with a time or length that is not a
    // finite number is refused (false): it has no JSON form and would spoil the whole file.
    Q_INVOKABLE bool logSession(const larkspur::FocusSession& session);

    qint64 dailyGoalMinutes() const { return dailyGoalMinutes_; }
    // Any value is kept as given, and every assignment rewrites "daily-goal.json".
    void setDailyGoalMinutes(qint64 minutes);

    QList<FocusSession> todaySessions() const { return current().todaySessions; }
    QList<FocusSession> thisWeekSessions() const { return current().thisWeekSessions; }
    qint64 todayFocusMinutes() const { return wholeMinutes(current().todaySeconds); }
    qint64 todayFocusBlocks() const { return current().todayBlocks; }
    qint64 weekFocusBlocks() const { return current().weekBlocks; }
    qint64 totalFocusMinutes() const { return wholeMinutes(tally_.totalSeconds()); }
    double dailyGoalProgress() const;

    // Announces figuresChanged when the day or week has moved on since the figures were last
    // read; call it now and then (for example on a refresh tick) so that views follow midnight.
    Q_INVOKABLE void refreshPeriods();

    // The statistics view's chart ({label, minutes} per day, today last) and its recent list;
    // read again on figuresChanged.
    Q_INVOKABLE QVariantList lastSevenDays() const;
    Q_INVOKABLE QList<larkspur::FocusSession> recentSessions() const;

Q_SIGNALS:
    void sessionsChanged();
    void dailyGoalMinutesChanged();
    void figuresChanged();

private:
    StatsManager(const StorageManager& storage, const Clock& clock, std::optional<QLocale> locale,
                 QObject* parent);
    StatsPeriods periodsNow() const;
    const PeriodFigures& current() const { return tally_.figures(periodsNow()); }

    const StorageManager& storage_;
    const Clock& clock_;
    std::optional<QLocale> locale_;
    QList<FocusSession> sessions_;
    qint64 dailyGoalMinutes_ = kDefaultDailyGoalMinutes;
    SessionHistoryFile file_;
    mutable FocusTally tally_{sessions_};
};

}  // namespace larkspur
