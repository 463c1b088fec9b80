#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSignalSpy>
#include <QTest>

#include "engine/TimerManager.h"
#include "support/ManualTime.h"
#include "support/RecordingNotifier.h"
#include "support/TempStorage.h"

using namespace larkspur;
using namespace larkspur::test;

namespace {
struct Fixture {
    TempStorage files;
    ManualTime time;
    RecordingNotifier notifier;
    std::unique_ptr<TimerManager> manager;
    QStringList events;

    void launch() {
        manager = std::make_unique<TimerManager>(files.storage, time, time, notifier);
        manager->setOnTimerCompleted([this](TimerInstance* t) {
            events << QStringLiteral("handler:") + t->name() +
                          QStringLiteral(":notified=%1").arg(notifier.posted.size());
        });
    }
    QJsonArray stored() const {
        return QJsonDocument::fromJson(files.read(kActiveTimersFile)).array();
    }
    QJsonObject storedTimer(int i) const { return stored().at(i).toObject(); }
};

SoundConfig defaults() {
    return SoundConfig{};
}
}  // namespace

class TestTimerManager : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void createAppendsAndSavesIdle();
    void stateChangesAreSaved();
    void completionStepsRunInOrderOnce();
    void loopNeverCompletes();
    void preWarningIsPosted();
    void removeUnknownIdStillSaves();
    void removeStopsAndDropsTimer();
    void pauseAllAndResetAll();
    void activeCountAndRunning();
    void refreshTickCountsWithoutTimers();
    void restoreKeepsOrderAndStates();
    void restoredCompletedDoesNotCompleteAgain();
    void restoredRunningCountsOnAfterLaunch();
    void restoredPausedResumesWhereItWas();
    void unreadableFileGivesEmptyListAndIsKept();
    void recurring_data();
    void recurring();
    void recurringStopsAfterManagerIsGone();
};

void TestTimerManager::createAppendsAndSavesIdle() {
    Fixture f;
    f.launch();
    QVERIFY(!QFile::exists(f.files.path(kActiveTimersFile)));
    TimerInstance* a = f.manager->createTimer("A", 60, TimerMode::Countdown, defaults());
    f.manager->createTimer("B", 30, TimerMode::Stopwatch, defaults(), QStringLiteral("🍵"));
    QCOMPARE(f.manager->timers().size(), 2);
    QCOMPARE(f.manager->timers().first(), a);
    QCOMPARE(f.stored().size(), 2);
    QCOMPARE(f.storedTimer(0).value("state").toString(), QStringLiteral("idle"));
    QCOMPARE(f.storedTimer(1).value("emoji").toString(), QStringLiteral("🍵"));
    QCOMPARE(f.storedTimer(0).value("createdAt").toDouble(), f.time.now());
}

void TestTimerManager::stateChangesAreSaved() {
    Fixture f;
    f.launch();
    TimerInstance* t = f.manager->createTimer("A", 60, TimerMode::Countdown, defaults());
    t->start();
    QCOMPARE(f.storedTimer(0).value("state").toString(), QStringLiteral("running"));
    f.time.advance(10);
    // Ticks alone never write.
    QCOMPARE(f.storedTimer(0).value("elapsedTime").toDouble(), 0.0);
    t->pause();
    QCOMPARE(f.storedTimer(0).value("state").toString(), QStringLiteral("paused"));
    QCOMPARE(f.storedTimer(0).value("elapsedTime").toDouble(), 10.0);
    t->resume();
    f.time.advance(60);
    QCOMPARE(f.storedTimer(0).value("state").toString(), QStringLiteral("completed"));
    QCOMPARE(f.storedTimer(0).value("elapsedTime").toDouble(), 60.0);
    t->reset();
    QCOMPARE(f.storedTimer(0).value("state").toString(), QStringLiteral("idle"));
}

void TestTimerManager::completionStepsRunInOrderOnce() {
    Fixture f;
    f.launch();
    TimerInstance* t =
        f.manager->createTimer("Tea", 180, TimerMode::Countdown, defaults(), QStringLiteral("🍵"));
    t->start();
    f.time.advance(200);
    QCOMPARE(f.events, QStringList{"handler:Tea:notified=0"});
    QCOMPARE(f.notifier.posted.size(), 1);
    const Notification n = f.notifier.posted.first();
    QCOMPARE(n.identifier, t->idString());
    QCOMPARE(n.title, QStringLiteral("Larkspurhollow"));
    QCOMPARE(n.body, QStringLiteral("🍵 Tea — Time's up!"));
    QCOMPARE(f.notifier.permissionRequests, 1);

    TimerInstance* plain = f.manager->createTimer("Bare", 1, TimerMode::Countdown, defaults());
    plain->start();
    f.time.advance(2);
    QCOMPARE(f.notifier.posted.last().body, QStringLiteral("\u23F1 Bare — Time's up!"));
}

void TestTimerManager::loopNeverCompletes() {
    Fixture f;
    f.launch();
    f.manager->createTimer("Laps", 5, TimerMode::Loop, defaults())->start();
    f.time.advance(60);
    QVERIFY(f.events.isEmpty());
    QVERIFY(f.notifier.posted.isEmpty());
    QCOMPARE(f.manager->timers().first()->state(), TimerState::Running);
}

void TestTimerManager::preWarningIsPosted() {
    Fixture f;
    f.launch();
    SoundConfig c;
    c.preWarningSeconds = 120;
    TimerInstance* t =
        f.manager->createTimer("Tea", 300, TimerMode::Countdown, c, QStringLiteral("🍵"));
    t->start();
    f.time.advance(181);
    QCOMPARE(f.notifier.posted.size(), 1);
    QCOMPARE(f.notifier.posted.first().identifier, t->idString() + QStringLiteral("-prewarn"));
    QCOMPARE(f.notifier.posted.first().body, QStringLiteral("🍵 Tea — 2m remaining!"));
}

void TestTimerManager::removeUnknownIdStillSaves() {
    Fixture f;
    f.launch();
    f.manager->createTimer("A", 60, TimerMode::Countdown, defaults());
    QFile::remove(f.files.path(kActiveTimersFile));
    f.manager->removeTimer(QUuid::createUuid());
    QCOMPARE(f.manager->timers().size(), 1);
    QCOMPARE(f.stored().size(), 1);
}

void TestTimerManager::removeStopsAndDropsTimer() {
    Fixture f;
    f.launch();
    TimerInstance* t = f.manager->createTimer("A", 2, TimerMode::Countdown, defaults());
    f.manager->createTimer("B", 60, TimerMode::Countdown, defaults());
    t->start();
    QPointer<TimerInstance> guard(t);
    f.manager->removeTimer(t->id());
    f.time.advance(5);
    QVERIFY(f.events.isEmpty());  // its ticker ended with it: no completion
    QCOMPARE(f.manager->timers().size(), 1);
    QCOMPARE(f.storedTimer(0).value("name").toString(), QStringLiteral("B"));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(guard.isNull());
}

void TestTimerManager::pauseAllAndResetAll() {
    Fixture f;
    f.launch();
    auto* running = f.manager->createTimer("R", 60, TimerMode::Countdown, defaults());
    auto* idle = f.manager->createTimer("I", 60, TimerMode::Countdown, defaults());
    auto* done = f.manager->createTimer("C", 1, TimerMode::Countdown, defaults());
    done->start();
    running->start();
    f.time.advance(2);
    f.manager->pauseAll();
    QCOMPARE(running->state(), TimerState::Paused);
    QCOMPARE(idle->state(), TimerState::Idle);
    QCOMPARE(done->state(), TimerState::Completed);
    QCOMPARE(f.storedTimer(0).value("state").toString(), QStringLiteral("paused"));
    f.manager->resetAll();
    for (TimerInstance* t : f.manager->timers()) {
        QCOMPARE(t->state(), TimerState::Idle);
        QCOMPARE(t->elapsedTime(), 0.0);
    }
    QCOMPARE(f.storedTimer(2).value("state").toString(), QStringLiteral("idle"));
}

void TestTimerManager::activeCountAndRunning() {
    Fixture f;
    f.launch();
    auto* a = f.manager->createTimer("A", 60, TimerMode::Countdown, defaults());
    auto* b = f.manager->createTimer("B", 60, TimerMode::Countdown, defaults());
    auto* c = f.manager->createTimer("C", 1, TimerMode::Countdown, defaults());
    f.manager->createTimer("D", 60, TimerMode::Countdown, defaults());
    a->start();
    b->start();
    c->start();
    b->pause();
    f.time.advance(2);
    QCOMPARE(f.manager->activeCount(), 2);
    QCOMPARE(f.manager->runningTimers(), QList<TimerInstance*>{a});
}

void TestTimerManager::refreshTickCountsWithoutTimers() {
    Fixture f;
    f.launch();
    QSignalSpy spy(f.manager.get(), &TimerManager::tickChanged);
    f.time.advance(3.01);
    QCOMPARE(f.manager->tick(), quint64(6));
    QCOMPARE(spy.count(), 6);
}

void TestTimerManager::restoreKeepsOrderAndStates() {
    Fixture f;
    f.launch();
    f.manager->createTimer("First", 60, TimerMode::Countdown, defaults());
    f.manager->createTimer("Second", 60, TimerMode::Stopwatch, defaults())->start();
    f.manager.reset();
    f.launch();
    QCOMPARE(f.manager->timers().size(), 2);
    QCOMPARE(f.manager->timers().at(0)->name(), QStringLiteral("First"));
    QCOMPARE(f.manager->timers().at(1)->state(), TimerState::Running);
    QVERIFY(!f.manager->timers().at(1)->isTicking());  // until launching has finished
}

void TestTimerManager::restoredCompletedDoesNotCompleteAgain() {
    Fixture f;
    f.launch();
    RecurringConfig rc{60, std::nullopt, 0};
    auto* t = f.manager->createTimer("Again", 1, TimerMode::Countdown, defaults(), std::nullopt,
                                     std::nullopt, std::nullopt, rc);
    t->start();
    f.time.advance(1.5);  // completed, its copy not yet added
    QCOMPARE(f.notifier.posted.size(), 1);
    f.manager.reset();
    f.notifier.posted.clear();
    f.events.clear();
    f.launch();
    f.manager->continueRestoredTimers();
    f.time.advance(5);
    QVERIFY(f.notifier.posted.isEmpty());
    QVERIFY(f.events.isEmpty());
    QCOMPARE(f.manager->timers().size(), 1);
    QCOMPARE(f.manager->timers().first()->recurringConfig()->runsCompleted, 1);
}

void TestTimerManager::restoredRunningCountsOnAfterLaunch() {
    Fixture f;
    f.launch();
    auto* t = f.manager->createTimer("Tea", 300, TimerMode::Countdown, defaults());
    t->start();
    f.time.advance(100);
    f.manager->saveTimers();  // as on quit
    f.manager.reset();
    QCOMPARE(f.storedTimer(0).value("elapsedTime").toDouble(), 100.0);
    f.time.advance(1000);  // closed: not counted
    f.launch();
    TimerInstance* back = f.manager->timers().first();
    QCOMPARE(back->displayTime(), QStringLiteral("03:20"));
    f.manager->continueRestoredTimers();
    f.time.advance(200.05);
    QCOMPARE(back->state(), TimerState::Completed);
    QCOMPARE(f.events, QStringList{"handler:Tea:notified=0"});
}

void TestTimerManager::restoredPausedResumesWhereItWas() {
    Fixture f;
    f.launch();
    auto* t = f.manager->createTimer("Tea", 300, TimerMode::Countdown, defaults());
    t->start();
    f.time.advance(100);
    t->pause();
    f.manager.reset();
    f.launch();
    f.manager->continueRestoredTimers();
    TimerInstance* back = f.manager->timers().first();
    QCOMPARE(back->state(), TimerState::Paused);
    f.time.advance(50);
    QCOMPARE(back->displayTime(), QStringLiteral("03:20"));
    back->resume();
    f.time.advance(20);
    QCOMPARE(back->displayTime(), QStringLiteral("03:00"));
}

void TestTimerManager::unreadableFileGivesEmptyListAndIsKept() {
    Fixture f;
    f.launch();
    f.manager->createTimer("A", 60, TimerMode::Countdown, defaults());
    QJsonArray array = f.stored();
    QJsonObject bad = array.first().toObject();
    bad.insert("mode", "sprint");
    array.append(bad);
    const QByteArray content = QJsonDocument(array).toJson(QJsonDocument::Compact);
    f.files.write(kActiveTimersFile, content);
    f.manager.reset();
    f.launch();
    QVERIFY(f.manager->timers().isEmpty());
    QCOMPARE(f.files.read(kActiveTimersFile), content);
    const QStringList copies =
        QDir(f.files.storage.directory())
            .entryList({kActiveTimersFile + QStringLiteral(".unreadable-*")});
    QCOMPARE(copies.size(), 1);
}

void TestTimerManager::recurring_data() {
    QTest::addColumn<int>("maxRuns");  // -100: absent
    QTest::addColumn<int>("expectedTimers");
    QTest::addColumn<int>("lastRunsCompleted");
    QTest::newRow("max 3 runs three times") << 3 << 3 << 3;
    QTest::newRow("max 2") << 2 << 2 << 2;
    QTest::newRow("max 1 runs once") << 1 << 1 << 1;
    QTest::newRow("max 0 runs once, count stays") << 0 << 1 << 0;
    QTest::newRow("negative runs once") << -4 << 1 << 0;
    QTest::newRow("unlimited") << -100 << 6 << 6;  // the sixth has just completed
}

void TestTimerManager::recurring() {
    QFETCH(int, maxRuns);
    QFETCH(int, expectedTimers);
    QFETCH(int, lastRunsCompleted);
    Fixture f;
    f.launch();
    RecurringConfig rc{3600, maxRuns == -100 ? std::nullopt : std::optional<qint64>(maxRuns), 0};
    auto* t =
        f.manager->createTimer("Stand", 10, TimerMode::Countdown, defaults(),
                               QStringLiteral("🧍"), QStringLiteral("#00FF00"), std::nullopt, rc);
    t->start();
    f.time.advance(10.0);
    QCOMPARE(f.manager->timers().size(), 1);  // the copy comes 1.0 s later
    f.time.advance(0.99);
    QCOMPARE(f.manager->timers().size(), 1);
    f.time.advance(54.5);  // room for five more runs of 11 s
    QCOMPARE(f.manager->timers().size(), expectedTimers);
    const TimerInstance* last = f.manager->timers().last();
    QCOMPARE(last->recurringConfig()->runsCompleted, lastRunsCompleted);
    for (const TimerInstance* timer : f.manager->timers()) {
        QCOMPARE(timer->name(), QStringLiteral("Stand"));
        QCOMPARE(timer->emoji().value_or(QString()), QStringLiteral("🧍"));
        QCOMPARE(timer->recurringConfig()->interval, 3600.0);
    }
    if (maxRuns != -100) {
        for (const TimerInstance* timer : f.manager->timers())
            QCOMPARE(timer->state(), TimerState::Completed);
    }
}

void TestTimerManager::recurringStopsAfterManagerIsGone() {
    Fixture f;
    f.launch();
    f.manager
        ->createTimer("Once", 1, TimerMode::Countdown, defaults(), std::nullopt, std::nullopt,
                      std::nullopt, RecurringConfig{1, std::nullopt, 0})
        ->start();
    f.time.advance(1.2);
    f.manager.reset();
    f.time.advance(5);  // the pending restart died with the manager
    QCOMPARE(f.time.pending(), std::size_t(0));
}

QTEST_GUILESS_MAIN(TestTimerManager)
#include "tst_timermanager.moc"
