#include <QSignalSpy>
#include <QTest>

#include "support/TimerWorld.h"
#include "ui/TimerListModel.h"

using namespace larkspur;
using namespace larkspur::test;

// Cards keep their state only if the model reports single insertions and removals instead of
// resetting on every change of the list.
class TestTimerListModel : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void followsAdditionsAndRemovals();
    void stateChangesLeaveRowsAlone();
};

namespace {
TimerInstance* at(const TimerListModel& model, int row) {
    return model.data(model.index(row), TimerListModel::TimerRole).value<TimerInstance*>();
}
}  // namespace

void TestTimerListModel::followsAdditionsAndRemovals() {
    TimerWorld world;
    TimerManager& manager = world.manager;
    TimerInstance* a = manager.createTimer("A", 10, TimerMode::Countdown, {});

    TimerListModel model;
    model.setTimerManager(&manager);
    QCOMPARE(model.count(), 1);
    QCOMPARE(model.roleNames().value(TimerListModel::TimerRole), QByteArray("timer"));
    QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
    QSignalSpy removed(&model, &QAbstractItemModel::rowsRemoved);
    QSignalSpy reset(&model, &QAbstractItemModel::modelReset);

    TimerInstance* b = manager.createTimer("B", 10, TimerMode::Countdown, {});
    TimerInstance* c = manager.createTimer("C", 10, TimerMode::Countdown, {});
    QCOMPARE(inserted.size(), 2);
    QCOMPARE(inserted.at(1).at(1).toInt(), 2);
    QCOMPARE(model.count(), 3);

    manager.removeTimer(b->id());
    QCOMPARE(removed.size(), 1);
    QCOMPARE(removed.at(0).at(1).toInt(), 1);
    QCOMPARE(at(model, 0), a);
    QCOMPARE(at(model, 1), c);
    QCOMPARE(reset.size(), 0);

    model.setTimerManager(nullptr);
    QCOMPARE(model.count(), 0);
    QVERIFY(!at(model, 0));
}

void TestTimerListModel::stateChangesLeaveRowsAlone() {
    TimerWorld world;
    TimerManager& manager = world.manager;
    ManualTime& time = world.time;
    TimerInstance* t = manager.createTimer("A", 1, TimerMode::Countdown, {});
    TimerListModel model;
    model.setTimerManager(&manager);
    QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
    QSignalSpy removed(&model, &QAbstractItemModel::rowsRemoved);
    QSignalSpy moved(&model, &QAbstractItemModel::rowsMoved);
    t->start();
    time.advance(0.5);
    t->pause();
    t->resume();
    time.advance(2);
    QCOMPARE(t->state(), TimerState::Completed);
    QCOMPARE(inserted.size() + removed.size() + moved.size(), 0);
    QCOMPARE(model.count(), 1);
}

QTEST_GUILESS_MAIN(TestTimerListModel)
#include "tst_timerlistmodel.moc"
