#include <QSignalSpy>
#include <QTest>

#include "engine/TimerInstance.h"
#include "support/ManualTime.h"

using namespace larkspur;
using larkspur::test::ManualTime;

namespace {
TimerData makeData(TimerMode mode, double total, std::optional<qint64> warning = std::nullopt) {
    TimerData d;
    d.id = QUuid::createUuid();
    d.name = QStringLiteral("Tea");
    d.mode = mode;
    d.totalDuration = total;
    d.soundConfig.preWarningSeconds = warning;
    return d;
}
}  // namespace

class TestTimerInstance : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void displayTime_data();
    void displayTime();
    void countdownCountsUpToWholeSeconds();
    void countdownCompletesExactly();
    void completionComesAtTheDueInstant();
    void slowStateObserverDoesNotDelayCompletion();
    void stopwatchNeverEnds();
    void zeroLengthCountdownEndsOnFirstTick();
    void loopStartsNextLapAndRearmsWarning();
    void zeroLengthLoopLapsEveryTick();
    void endTimeInThePastCompletesAtOnce();
    void endTimeKeepsWallTargetAcrossPause();
    void preWarning_data();
    void preWarning();
    void preWarningNotRefiredAfterPauseResume();
    void guardsAreSilent();
    void startOnCompletedRunsAgain();
    void resetKeepsRunsCompleted();
    void restoredPausedResumesFromStoredProgress();
    void restoredRunningContinuesAfterLaunch();
    void restoredEndTimeCompletesWhenDue();
    void removedTimerStopsTicking();
};

void TestTimerInstance::displayTime_data() {
    QTest::addColumn<int>("mode");
    QTest::addColumn<double>("total");
    QTest::addColumn<double>("elapsed");
    QTest::addColumn<QString>("expected");
    const int cd = int(TimerMode::Countdown), sw = int(TimerMode::Stopwatch);
    QTest::newRow("five minutes") << cd << 300.0 << 0.0 << "05:00";
    QTest::newRow("0.2 s in still 05:00") << cd << 300.0 << 0.2 << "05:00";
    QTest::newRow("299 left") << cd << 300.0 << 1.0 << "04:59";
    QTest::newRow("0.05 left shows 1 s") << cd << 300.0 << 299.95 << "00:01";
    QTest::newRow("done") << cd << 300.0 << 300.0 << "00:00";
    QTest::newRow("one hour") << cd << 3600.0 << 0.0 << "1:00:00";
    QTest::newRow("3599.5 left") << cd << 3600.0 << 0.5 << "1:00:00";
    QTest::newRow("3599 left") << cd << 3600.0 << 1.0 << "59:59";
    QTest::newRow("hours not wrapped") << cd << 93789.0 << 0.0 << "26:03:09";
    QTest::newRow("stopwatch drops fraction") << sw << 0.0 << 59.9 << "00:59";
    QTest::newRow("stopwatch past an hour") << sw << 10.0 << 3725.0 << "1:02:05";
    QTest::newRow("huge saturates") << cd << 1e300 << 0.0 << "999999:59:59";
    QTest::newRow("negative elapsed saturates") << cd << 10.0 << -1e300 << "999999:59:59";
    QTest::newRow("negative total") << cd << -50.0 << 0.0 << "00:00";
    QTest::newRow("stopwatch negative") << sw << 0.0 << -4.0 << "00:00";
}

void TestTimerInstance::displayTime() {
    QFETCH(int, mode);
    QFETCH(double, total);
    QFETCH(double, elapsed);
    QFETCH(QString, expected);
    ManualTime time;
    TimerData d = makeData(TimerMode(mode), total);
    d.elapsedTime = elapsed;
    TimerInstance t(d, time, time);
    QCOMPARE(t.displayTime(), expected);
}

void TestTimerInstance::countdownCountsUpToWholeSeconds() {
    ManualTime time;
    TimerInstance t(makeData(TimerMode::Countdown, 300), time, time);
    t.start();
    time.advance(0.2);
    QCOMPARE(t.displayTime(), QStringLiteral("05:00"));
    time.advance(0.8);
    QCOMPARE(t.displayTime(), QStringLiteral("04:59"));
    QCOMPARE(t.state(), TimerState::Running);
}

void TestTimerInstance::countdownCompletesExactly() {
    ManualTime time;
    TimerInstance t(makeData(TimerMode::Countdown, 60), time, time);
    QSignalSpy states(&t, &TimerInstance::stateChanged);
    t.start();
    time.advance(61);
    QCOMPARE(t.state(), TimerState::Completed);
    QCOMPARE(t.elapsedTime(), 60.0);
    QCOMPARE(t.remainingTime(), 0.0);
    QCOMPARE(t.progress(), 1.0);
    QCOMPARE(states.count(), 2);  // running, completed
    QVERIFY(!t.isTicking());
}

void TestTimerInstance::completionComesAtTheDueInstant() {
    ManualTime time;
    TimerInstance t(makeData(TimerMode::Countdown, 1.234), time, time);
    double completedAt = -1;
    connect(&t, &TimerInstance::stateChanged, this, [&](TimerState s) {
        if (s == TimerState::Completed) completedAt = time.monotonic();
    });
    t.start();
    time.advance(5);
    // Not rounded up to the next 0.1 s tick; at most a rounding hair late.
    QVERIFY2(completedAt >= 1.234 && completedAt < 1.234 + 1e-6,
             qPrintable(QString::number(completedAt, 'g', 12)));
}

void TestTimerInstance::slowStateObserverDoesNotDelayCompletion() {
    ManualTime time;
    TimerInstance t(makeData(TimerMode::Countdown, 2.0), time, time);
    // Writing the list on a change of state takes time between the start and the first tick.
    connect(&t, &TimerInstance::persistentChange, this, [&] { time.advance(0.05); });
    double completedAt = -1;
    connect(&t, &TimerInstance::stateChanged, this, [&](TimerState s) {
        if (s == TimerState::Completed) completedAt = time.monotonic();
    });
    t.start();
    time.advance(3);
    QVERIFY2(completedAt >= 2.0 && completedAt < 2.0 + 1e-6,
             qPrintable(QString::number(completedAt)));
}

void TestTimerInstance::stopwatchNeverEnds() {
    ManualTime time;
    TimerInstance t(makeData(TimerMode::Stopwatch, 5), time, time);
    t.start();
    time.advance(100);
    QCOMPARE(t.state(), TimerState::Running);
    QCOMPARE(t.progress(), 0.0);
    QVERIFY(t.elapsedTime() >= 99.9);
}

void TestTimerInstance::zeroLengthCountdownEndsOnFirstTick() {
    ManualTime time;
    TimerInstance t(makeData(TimerMode::Countdown, 0), time, time);
    QCOMPARE(t.progress(), 0.0);
    t.start();
    time.advance(0.1);
    QCOMPARE(t.state(), TimerState::Completed);
}

void TestTimerInstance::loopStartsNextLapAndRearmsWarning() {
    ManualTime time;
    TimerInstance t(makeData(TimerMode::Loop, 10, 3), time, time);
    QSignalSpy warnings(&t, &TimerInstance::preWarningDue);
    QSignalSpy states(&t, &TimerInstance::stateChanged);
    t.start();
    time.advance(10.05);
    QCOMPARE(t.state(), TimerState::Running);
    QVERIFY(t.elapsedTime() < 0.1);
    QCOMPARE(warnings.count(), 1);
    time.advance(10);
    QCOMPARE(warnings.count(), 2);
    QCOMPARE(states.count(), 1);  // only the first start: laps signal no completion
}

void TestTimerInstance::zeroLengthLoopLapsEveryTick() {
    ManualTime time;
    TimerInstance t(makeData(TimerMode::Loop, 0), time, time);
    QSignalSpy laps(&t, &TimerInstance::persistentChange);
    t.start();
    time.advance(1.0);
    QCOMPARE(t.state(), TimerState::Running);
    QVERIFY(laps.count() >= 10);  // one lap per 0.1 s tick, and the loop did not spin
}

void TestTimerInstance::endTimeInThePastCompletesAtOnce() {
    ManualTime time;
    TimerData d = makeData(TimerMode::EndTime, 100);
    d.endDate = time.now() - 30;
    TimerInstance t(d, time, time);
    t.start();
    QCOMPARE(t.totalDuration(), 0.0);
    time.advance(0.1);
    QCOMPARE(t.state(), TimerState::Completed);
}

void TestTimerInstance::endTimeKeepsWallTargetAcrossPause() {
    ManualTime time;
    TimerData d = makeData(TimerMode::EndTime, 0);
    d.endDate = time.now() + 60;
    TimerInstance t(d, time, time);
    t.start();
    QCOMPARE(t.totalDuration(), 60.0);
    time.advance(10);
    t.pause();
    time.advance(20);  // paused time counts toward the wall-clock target
    QCOMPARE(t.remainingTime(), 30.0);
    t.resume();
    time.advance(30.05);
    QCOMPARE(t.state(), TimerState::Completed);
}

void TestTimerInstance::preWarning_data() {
    QTest::addColumn<double>("total");
    QTest::addColumn<int>("warning");  // -1: absent
    QTest::addColumn<double>("run");
    QTest::addColumn<int>("fired");
    QTest::addColumn<double>("firedAtOrAfter");
    QTest::newRow("30 of 60 fires once") << 60.0 << 30 << 61.0 << 1 << 30.0;
    QTest::newRow("not yet") << 60.0 << 30 << 29.0 << 0 << 0.0;
    QTest::newRow("zero never") << 60.0 << 0 << 61.0 << 0 << 0.0;
    QTest::newRow("absent never") << 60.0 << -1 << 61.0 << 0 << 0.0;
    QTest::newRow("shorter than warning fires first tick") << 5.0 << 30 << 0.1 << 1 << 0.1;
}

void TestTimerInstance::preWarning() {
    QFETCH(double, total);
    QFETCH(int, warning);
    QFETCH(double, run);
    QFETCH(int, fired);
    QFETCH(double, firedAtOrAfter);
    ManualTime time;
    TimerInstance t(makeData(TimerMode::Countdown, total,
                             warning < 0 ? std::nullopt : std::optional<qint64>(warning)),
                    time, time);
    QList<double> at;
    connect(&t, &TimerInstance::preWarningDue, this, [&] { at.append(time.monotonic()); });
    t.start();
    time.advance(run);
    QCOMPARE(at.size(), fired);
    if (fired) {
        QVERIFY(at.first() >= firedAtOrAfter - 1e-9);
        QVERIFY(at.first() < firedAtOrAfter + 0.1 + 1e-9);
        QVERIFY(t.preWarningFired());
    }
}

void TestTimerInstance::preWarningNotRefiredAfterPauseResume() {
    ManualTime time;
    TimerInstance t(makeData(TimerMode::Countdown, 60, 30), time, time);
    QSignalSpy warnings(&t, &TimerInstance::preWarningDue);
    t.start();
    time.advance(35);
    t.pause();
    t.resume();
    time.advance(5);
    QCOMPARE(warnings.count(), 1);
    t.reset();
    QVERIFY(!t.preWarningFired());
    t.start();
    time.advance(35);
    QCOMPARE(warnings.count(), 2);
}

void TestTimerInstance::guardsAreSilent() {
    ManualTime time;
    TimerInstance t(makeData(TimerMode::Countdown, 60), time, time);
    QSignalSpy states(&t, &TimerInstance::stateChanged);
    t.pause();
    t.resume();
    QCOMPARE(t.state(), TimerState::Idle);
    t.start();
    time.advance(5);
    const double elapsed = t.elapsedTime();
    t.resume();
    QCOMPARE(t.elapsedTime(), elapsed);
    QCOMPARE(states.count(), 1);
}

void TestTimerInstance::startOnCompletedRunsAgain() {
    ManualTime time;
    TimerInstance t(makeData(TimerMode::Countdown, 2), time, time);
    t.start();
    time.advance(3);
    QCOMPARE(t.state(), TimerState::Completed);
    t.start();
    QCOMPARE(t.state(), TimerState::Running);
    QCOMPARE(t.elapsedTime(), 0.0);
    time.advance(1.05);
    QCOMPARE(t.displayTime(), QStringLiteral("00:01"));
}

void TestTimerInstance::resetKeepsRunsCompleted() {
    ManualTime time;
    TimerData d = makeData(TimerMode::Countdown, 2);
    d.recurringConfig = RecurringConfig{60, 3, 2};
    TimerInstance t(d, time, time);
    t.start();
    time.advance(1);
    t.reset();
    QCOMPARE(t.state(), TimerState::Idle);
    QCOMPARE(t.elapsedTime(), 0.0);
    QCOMPARE(t.recurringConfig()->runsCompleted, 2);
    QCOMPARE(t.totalDuration(), 2.0);
}

void TestTimerInstance::restoredPausedResumesFromStoredProgress() {
    ManualTime time;
    TimerData d = makeData(TimerMode::Countdown, 300);
    d.state = TimerState::Paused;
    d.elapsedTime = 100;
    TimerInstance t(d, time, time);
    QCOMPARE(t.displayTime(), QStringLiteral("03:20"));
    t.resume();
    time.advance(1);
    QCOMPARE(t.displayTime(), QStringLiteral("03:19"));
}

void TestTimerInstance::restoredRunningContinuesAfterLaunch() {
    ManualTime time;
    TimerData d = makeData(TimerMode::Countdown, 300);
    d.state = TimerState::Running;
    d.elapsedTime = 100;
    TimerInstance t(d, time, time);
    time.advance(50);  // the program was not running: not counted
    QCOMPARE(t.displayTime(), QStringLiteral("03:20"));
    t.continueAfterRestore();
    time.advance(10.05);
    QCOMPARE(t.displayTime(), QStringLiteral("03:10"));
    t.pause();
    t.resume();
    time.advance(10.0);
    QCOMPARE(t.displayTime(), QStringLiteral("03:00"));
}

void TestTimerInstance::restoredEndTimeCompletesWhenDue() {
    ManualTime time;
    TimerData d = makeData(TimerMode::EndTime, 100);
    d.state = TimerState::Running;
    d.elapsedTime = 40;
    d.endDate = time.now() - 5;  // passed while the program was closed
    TimerInstance t(d, time, time);
    t.continueAfterRestore();
    time.advance(0.01);
    QCOMPARE(t.state(), TimerState::Completed);
}

void TestTimerInstance::removedTimerStopsTicking() {
    ManualTime time;
    TimerInstance t(makeData(TimerMode::Countdown, 60), time, time);
    t.start();
    time.advance(1);
    t.detach();
    const double elapsed = t.elapsedTime();
    time.advance(120);
    QCOMPARE(t.elapsedTime(), elapsed);
    QCOMPARE(t.state(), TimerState::Running);
}

QTEST_GUILESS_MAIN(TestTimerInstance)
#include "tst_timerinstance.moc"
