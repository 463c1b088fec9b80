#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

#include "support/TimerWorld.h"

using namespace larkspur;
using namespace larkspur::test;

// Edits from a timer card reach the file at once, so a restart does not lose them.
class TestTimerEdits : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void editIsSavedAtOnce_data();
    void editIsSavedAtOnce();
    void editsOfStrangersAreIgnored();
    void removalByIdText();
};

namespace {
QJsonObject storedTimer(const TempStorage& files) {
    return QJsonDocument::fromJson(files.read(kActiveTimersFile)).array().at(0).toObject();
}
}  // namespace

void TestTimerEdits::editIsSavedAtOnce_data() {
    QTest::addColumn<TimerState>("state");
    QTest::addColumn<QString>("emoji");
    QTest::addColumn<double>("expectedDuration");
    QTest::newRow("idle takes the length") << TimerState::Idle << "\U0001F375" << 90.0;
    QTest::newRow("running keeps its length") << TimerState::Running << "\U0001F375" << 600.0;
    QTest::newRow("paused keeps its length") << TimerState::Paused << "x" << 600.0;
    QTest::newRow("empty emoji stays empty") << TimerState::Idle << "" << 90.0;
}

void TestTimerEdits::editIsSavedAtOnce() {
    QFETCH(TimerState, state);
    QFETCH(QString, emoji);
    QFETCH(double, expectedDuration);
    TimerWorld world;
    TimerManager& manager = world.manager;
    const TempStorage& files = world.files;
    TimerInstance* t = manager.createTimer("Tea", 600, TimerMode::Countdown, {});
    if (state != TimerState::Idle) t->start();
    if (state == TimerState::Paused) t->pause();

    manager.applyEdit(t, QStringLiteral("Green tea"), emoji, 90);
    QCOMPARE(t->name(), QStringLiteral("Green tea"));
    QCOMPARE(t->emoji(), std::optional<QString>(emoji));
    QCOMPARE(t->totalDuration(), expectedDuration);
    const QJsonObject stored = storedTimer(files);
    QCOMPARE(stored.value("name").toString(), QStringLiteral("Green tea"));
    // An empty emoji is stored as such, not left out.
    QVERIFY(stored.contains("emoji"));
    QCOMPARE(stored.value("emoji").toString(), emoji);
    QCOMPARE(stored.value("totalDuration").toDouble(), expectedDuration);
}

void TestTimerEdits::editsOfStrangersAreIgnored() {
    TimerWorld world;
    TimerManager& manager = world.manager;
    TimerManager other(world.files.storage, world.time, world.time, world.notifier);
    TimerInstance* stranger = other.createTimer("Other", 60, TimerMode::Countdown, {});
    manager.applyEdit(stranger, QStringLiteral("Changed"), QString(), 5);
    manager.applyEdit(nullptr, QStringLiteral("Changed"), QString(), 5);
    QCOMPARE(stranger->name(), QStringLiteral("Other"));
    // Lengths that are not a time are refused even for an idle timer.
    TimerInstance* own = manager.createTimer("Own", 60, TimerMode::Countdown, {});
    manager.applyEdit(own, QStringLiteral("Own"), QString(), std::nan(""));
    manager.applyEdit(own, QStringLiteral("Own"), QString(), -1);
    QCOMPARE(own->totalDuration(), 60.0);
}

void TestTimerEdits::removalByIdText() {
    TimerWorld world;
    TimerManager& manager = world.manager;
    const TempStorage& files = world.files;
    TimerInstance* t = manager.createTimer("Tea", 60, TimerMode::Countdown, {});
    manager.removeTimer(QStringLiteral("not an id"));
    QCOMPARE(manager.timers().size(), 1);
    manager.removeTimer(t->idString().toLower());
    QCOMPARE(manager.timers().size(), 0);
    QCOMPARE(QJsonDocument::fromJson(files.read(kActiveTimersFile)).array().size(), 0);
}

QTEST_GUILESS_MAIN(TestTimerEdits)
#include "tst_timeredits.moc"
