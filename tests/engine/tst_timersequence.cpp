#include <QTest>

#include "engine/TimerManager.h"
#include "support/ManualTime.h"
#include "support/RecordingNotifier.h"
#include "support/TempStorage.h"

using namespace larkspur;
using namespace larkspur::test;

namespace {
TimerSequence sequence(const QString& name, QList<std::pair<QString, double>> steps) {
    TimerSequence s{QUuid::createUuid(), name, {}, 7};
    for (const auto& [stepName, duration] : steps)
        s.steps.append({QUuid::createUuid(), stepName, duration, std::nullopt});
    return s;
}

struct Fixture {
    TempStorage files;
    ManualTime time;
    RecordingNotifier notifier;
    TimerManager manager{files.storage, time, time, notifier};
    QList<SoundConfig> played;
    Fixture() {
        manager.setOnTimerCompleted([this](TimerInstance* t) { played.append(t->soundConfig()); });
    }
    QStringList names() const {
        QStringList out;
        for (auto* t : manager.timers()) out << t->name();
        return out;
    }
};
}  // namespace

class TestTimerSequence : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void runsStepsWithHalfSecondGap();
    void zeroLengthStepAndDefaultSound();
    void emptySequenceStaysActive();
    void newSequenceReplacesOld_data();
    void newSequenceReplacesOld();
    void ordinaryTimerWithPrefixAdvances();
    void restartedStepAdvancesAgain();
};

void TestTimerSequence::runsStepsWithHalfSecondGap() {
    Fixture f;
    f.manager.startSequence(sequence("Morning", {{"Stretch", 60}, {"Read", 120}}));
    QCOMPARE(f.names(), QStringList{"Morning: Stretch"});
    QCOMPARE(f.manager.timers().first()->state(), TimerState::Running);
    QCOMPARE(f.manager.activeSequence()->currentStepIndex, 0);
    f.time.advance(60.0);
    QCOMPARE(f.manager.timers().first()->state(), TimerState::Completed);
    QCOMPARE(f.manager.activeSequence()->currentStepIndex, 1);
    f.time.advance(0.49);
    QCOMPARE(f.names().size(), 1);
    f.time.advance(0.01);
    QCOMPARE(f.names(), (QStringList{"Morning: Stretch", "Morning: Read"}));
    QCOMPARE(f.manager.timers().last()->state(), TimerState::Running);
    f.time.advance(120);
    QVERIFY(!f.manager.activeSequence());
    for (auto* t : f.manager.timers()) QCOMPARE(t->state(), TimerState::Completed);
}

void TestTimerSequence::zeroLengthStepAndDefaultSound() {
    Fixture f;
    f.manager.startSequence(sequence("S", {{"Zero", 0}, {"Next", 5}}));
    f.time.advance(0.1);
    QCOMPARE(f.manager.timers().first()->state(), TimerState::Completed);
    QCOMPARE(f.played.size(), 1);
    QCOMPARE(f.played.first(), SoundConfig{});  // chime, 0.8, once
    f.time.advance(0.5);
    QCOMPARE(f.names(), (QStringList{"S: Zero", "S: Next"}));
}

void TestTimerSequence::emptySequenceStaysActive() {
    Fixture f;
    f.manager.startSequence(sequence("Empty", {}));
    QVERIFY(f.manager.activeSequence());
    QCOMPARE(f.manager.activeSequence()->currentStepIndex, 0);
    QVERIFY(f.manager.timers().isEmpty());
}

void TestTimerSequence::newSequenceReplacesOld_data() {
    QTest::addColumn<QString>("secondName");
    QTest::addColumn<int>("expectedTimers");
    QTest::newRow("other name: A stalls") << "B" << 3;  // A1, B1, B2
    QTest::newRow("same name: A's step advances B") << "A" << 3;
}

void TestTimerSequence::newSequenceReplacesOld() {
    QFETCH(QString, secondName);
    QFETCH(int, expectedTimers);
    Fixture f;
    f.manager.startSequence(sequence("A", {{"One", 10}, {"Two", 10}}));
    f.time.advance(5);
    f.manager.startSequence(sequence(secondName, {{"First", 20}, {"Second", 1}}));
    f.time.advance(5.5);  // A: One completes
    f.time.advance(60);
    QCOMPARE(f.manager.timers().size(), expectedTimers);
    QVERIFY(!f.names().contains("A: Two"));
    QVERIFY(!f.manager.activeSequence());
}

void TestTimerSequence::ordinaryTimerWithPrefixAdvances() {
    Fixture f;
    f.manager.startSequence(sequence("Work", {{"Plan", 100}, {"Do", 100}}));
    f.manager.createTimer("Work: something else", 1, TimerMode::Countdown, SoundConfig{})->start();
    f.time.advance(1.5);
    QCOMPARE(f.manager.activeSequence()->currentStepIndex, 1);
    QVERIFY(f.names().contains("Work: Do"));
}

void TestTimerSequence::restartedStepAdvancesAgain() {
    Fixture f;
    f.manager.startSequence(sequence("R", {{"A", 1}, {"B", 100}, {"C", 100}}));
    f.time.advance(1.5);
    TimerInstance* first = f.manager.timers().first();
    first->start();
    f.time.advance(1.5);
    QCOMPARE(f.manager.activeSequence()->currentStepIndex, 2);
    QVERIFY(f.names().contains("R: C"));
}

QTEST_GUILESS_MAIN(TestTimerSequence)
#include "tst_timersequence.moc"
