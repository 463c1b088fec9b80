#pragma once

#include <QtQml/qqmlregistration.h>
#include <QObject>
#include <QPointer>
#include <QString>

#include "engine/TimerTypes.h"
#include "presets/Preset.h"

namespace larkspur {

class TimerInstance;
class TimerManager;

// The state of one opening of the new-timer sheet and what "Create" makes of it.
class NewTimerForm : public QObject {
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(larkspur::TimerManager* timerManager READ timerManager WRITE setTimerManager NOTIFY
                   timerManagerChanged)
    // Bounded as typed: a name of at most a couple of hundred characters, one emoji.
    Q_PROPERTY(QString name READ name WRITE setName NOTIFY formChanged)
    Q_PROPERTY(double duration MEMBER duration_ NOTIFY formChanged)
    Q_PROPERTY(larkspur::TimerMode mode MEMBER mode_ NOTIFY formChanged)
    Q_PROPERTY(QString emoji READ emoji WRITE setEmoji NOTIFY formChanged)
    Q_PROPERTY(QString selectedSound MEMBER selectedSound_ NOTIFY formChanged)
    Q_PROPERTY(double volume READ volume WRITE setVolume NOTIFY formChanged)
    Q_PROPERTY(larkspur::AlertMode alertMode MEMBER alertMode_ NOTIFY formChanged)
    Q_PROPERTY(bool startNow MEMBER startNow_ NOTIFY formChanged)
    Q_PROPERTY(int endHour READ endHour WRITE setEndHour NOTIFY formChanged)
    Q_PROPERTY(int endMinute READ endMinute WRITE setEndMinute NOTIFY formChanged)
    Q_PROPERTY(int preWarningOption MEMBER preWarningOption_ NOTIFY formChanged)
    Q_PROPERTY(bool isRecurring MEMBER isRecurring_ NOTIFY formChanged)
    Q_PROPERTY(double recurringInterval MEMBER recurringInterval_ NOTIFY formChanged)
    Q_PROPERTY(
        int recurringMaxRuns READ recurringMaxRuns WRITE setRecurringMaxRuns NOTIFY formChanged)
    Q_PROPERTY(bool recurringUnlimited MEMBER recurringUnlimited_ NOTIFY formChanged)
    // Which sections the chosen mode shows.
    Q_PROPERTY(bool showsDuration READ showsDuration NOTIFY formChanged)
    Q_PROPERTY(bool showsEndTime READ showsEndTime NOTIFY formChanged)
    Q_PROPERTY(bool showsPreWarning READ showsPreWarning NOTIFY formChanged)
    Q_PROPERTY(bool showsRecurring READ showsRecurring NOTIFY formChanged)

public:
    explicit NewTimerForm(QObject* parent = nullptr);

    TimerManager* timerManager() const { return timerManager_; }
    // The clock comes with the manager, so the end time starts an hour from then.
    void setTimerManager(TimerManager* manager);

    QString name() const { return name_; }
    void setName(const QString& text);
    QString emoji() const { return emoji_; }
    void setEmoji(const QString& text);
    double volume() const { return double(volume_); }
    void setVolume(double volume);
    int endHour() const;
    int endMinute() const;
    void setEndHour(int hour);
    void setEndMinute(int minute);
    int recurringMaxRuns() const { return recurringMaxRuns_; }
    void setRecurringMaxRuns(int runs);
    bool showsDuration() const;
    bool showsEndTime() const;
    bool showsPreWarning() const;
    bool showsRecurring() const;

    // The moment an end-time timer made now would end: the chosen time of day today, or
    // tomorrow once it has passed.
    double endDateAt(double now) const;

    Q_INVOKABLE void applyPreset(const larkspur::Preset& preset);
    // Adds the timer to the manager (and starts it when asked); null without a manager.
    Q_INVOKABLE larkspur::TimerInstance* createTimer();

Q_SIGNALS:
    void timerManagerChanged();
    void formChanged();

private:
    void setEndTimeOfDay(int hour, int minute);

    QPointer<TimerManager> timerManager_;
    QString name_ = QStringLiteral("Timer");
    double duration_ = 300;
    TimerMode mode_ = TimerMode::Countdown;
    QString emoji_ = QStringLiteral("\u23F1");
    QString selectedSound_ = QStringLiteral("chime");
    float volume_ = 0.8f;
    AlertMode alertMode_ = AlertMode::OneShot;
    bool startNow_ = true;
    int endMinutesOfDay_ = -1;  // local hour × 60 + minute; set from the clock
    double endSecondsIntoMinute_ = 0;
    int preWarningOption_ = 0;
    bool isRecurring_ = false;
    double recurringInterval_ = 300;
    int recurringMaxRuns_ = 3;
    bool recurringUnlimited_ = false;
};

}  // namespace larkspur
