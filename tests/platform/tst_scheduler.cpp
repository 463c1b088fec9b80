#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>

#include "platform/QtScheduler.h"
#include "support/ManualTime.h"

using namespace larkspur;
using larkspur::test::ManualTime;

class TestScheduler : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void runsInDueOrder();
    void equalDueKeepsInsertionOrder();
    void repeatingKeepsCadence();
    void handleCancelsOnDestruction();
    void taskMayCancelItself();
    void taskMayScheduleAnother();
    void realSchedulerFiresOnTime();
    void realSchedulerCancelled();
};

void TestScheduler::runsInDueOrder() {
    ManualTime time;
    QStringList order;
    auto c = time.after(0.3, [&] { order << "c"; });
    auto a = time.after(0.1, [&] { order << "a"; });
    auto b = time.after(0.2, [&] { order << "b"; });
    time.advance(0.25);
    QCOMPARE(order, (QStringList{"a", "b"}));
    time.advance(1);
    QCOMPARE(order, (QStringList{"a", "b", "c"}));
    QVERIFY(!a.isActive());
}

void TestScheduler::equalDueKeepsInsertionOrder() {
    ManualTime time;
    QString order;
    auto x = time.after(1, [&] { order += 'x'; });
    auto y = time.after(1, [&] { order += 'y'; });
    auto z = time.after(1, [&] { order += 'z'; });
    time.advance(1);
    QCOMPARE(order, QStringLiteral("xyz"));
}

void TestScheduler::repeatingKeepsCadence() {
    ManualTime time;
    QList<double> at;
    auto h = time.every(0.5, [&] { at << time.monotonic(); });
    time.advance(2.0);
    QCOMPARE(at, (QList<double>{0.5, 1.0, 1.5, 2.0}));
}

void TestScheduler::handleCancelsOnDestruction() {
    ManualTime time;
    int runs = 0;
    {
        auto h = time.every(0.1, [&] { ++runs; });
        time.advance(0.35);
    }
    time.advance(1);
    QCOMPARE(runs, 3);
}

void TestScheduler::taskMayCancelItself() {
    ManualTime time;
    int runs = 0;
    TaskHandle h;
    h = time.every(0.1, [&] {
        if (++runs == 2) h.cancel();
    });
    time.advance(1);
    QCOMPARE(runs, 2);
}

void TestScheduler::taskMayScheduleAnother() {
    ManualTime time;
    QList<double> at;
    TaskHandle second;
    auto first = time.after(1, [&] { second = time.after(0.5, [&] { at << time.monotonic(); }); });
    time.advance(2);
    QCOMPARE(at, QList<double>{1.5});
}

void TestScheduler::realSchedulerFiresOnTime() {
    QtScheduler scheduler;
    QElapsedTimer clock;
    clock.start();
    qint64 firedAfterNs = -1;
    int repeats = 0;
    auto once = scheduler.after(0.03, [&] { firedAfterNs = clock.nsecsElapsed(); });
    auto tick = scheduler.every(0.01, [&] { ++repeats; });
    QTRY_VERIFY_WITH_TIMEOUT(firedAfterNs >= 0, 2000);
    QVERIFY(firedAfterNs >= 30'000'000);  // never early
    QTRY_VERIFY_WITH_TIMEOUT(repeats >= 5, 2000);
}

void TestScheduler::realSchedulerCancelled() {
    QtScheduler scheduler;
    bool fired = false, later = false;
    auto h = scheduler.after(0.02, [&] { fired = true; });
    auto marker = scheduler.after(0.06, [&] { later = true; });
    h.cancel();
    QTRY_VERIFY_WITH_TIMEOUT(later, 2000);
    QVERIFY(!fired);
}

QTEST_GUILESS_MAIN(TestScheduler)
#include "tst_scheduler.moc"
