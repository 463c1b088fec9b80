#include <QQmlComponent>
#include <QQmlEngine>
#include <QTest>

#include "engine/TimerManager.h"
#include "support/ManualTime.h"
#include "support/RecordingNotifier.h"
#include "support/TempStorage.h"

void qml_register_types_Larkspurhollow();

using namespace larkspur;
using namespace larkspur::test;

// The views bind to the managers' properties; a missing or wrong change signal shows up here as
// a binding that does not follow.
class TestQmlBindings : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { qml_register_types_Larkspurhollow(); }
    void timerPropertiesFollow();
    void managerListFollows();
};

namespace {
const QByteArray kTimerView = R"(
import QtQml
import Larkspurhollow
QtObject {
    property TimerInstance timer
    property string shown: timer ? timer.displayTime : ""
    property bool running: timer ? timer.state === TimerEnums.Running : false
    property real done: timer ? timer.progress : 0
}
)";

const QByteArray kListView = R"(
import QtQml
import Larkspurhollow
QtObject {
    property TimerManager manager
    property int count: manager ? manager.timers.length : 0
    property int running: manager ? manager.runningTimers.length : 0
    property string firstName: manager && manager.timers.length ? manager.timers[0].name : ""
}
)";
}  // namespace

void TestQmlBindings::timerPropertiesFollow() {
    TempStorage files;
    ManualTime time;
    RecordingNotifier notifier;
    TimerManager manager(files.storage, time, time, notifier);
    TimerInstance* timer = manager.createTimer("Tea", 10, TimerMode::Countdown, SoundConfig{});

    QQmlEngine engine;
    engine.addImportPath(QStringLiteral("qrc:/"));
    QQmlComponent component(&engine);
    component.setData(kTimerView, QUrl());
    QVERIFY2(component.isReady(), qPrintable(component.errorString()));
    std::unique_ptr<QObject> view(
        component.createWithInitialProperties({{"timer", QVariant::fromValue(timer)}}));
    QVERIFY2(view, qPrintable(component.errorString()));
    QCOMPARE(view->property("shown").toString(), QStringLiteral("00:10"));
    QCOMPARE(view->property("running").toBool(), false);
    timer->start();
    time.advance(2.05);
    QCOMPARE(view->property("shown").toString(), QStringLiteral("00:08"));
    QCOMPARE(view->property("running").toBool(), true);
    QVERIFY(view->property("done").toDouble() > 0.15);
    time.advance(10);
    QCOMPARE(view->property("shown").toString(), QStringLiteral("00:00"));
    QCOMPARE(view->property("running").toBool(), false);
}

void TestQmlBindings::managerListFollows() {
    TempStorage files;
    ManualTime time;
    RecordingNotifier notifier;
    TimerManager manager(files.storage, time, time, notifier);
    QQmlEngine engine;
    engine.addImportPath(QStringLiteral("qrc:/"));
    QQmlComponent component(&engine);
    component.setData(kListView, QUrl());
    QVERIFY2(component.isReady(), qPrintable(component.errorString()));
    std::unique_ptr<QObject> view(
        component.createWithInitialProperties({{"manager", QVariant::fromValue(&manager)}}));
    QVERIFY2(view, qPrintable(component.errorString()));
    QCOMPARE(view->property("count").toInt(), 0);
    TimerInstance* a = manager.createTimer("A", 5, TimerMode::Countdown, SoundConfig{});
    manager.createTimer("B", 5, TimerMode::Countdown, SoundConfig{});
    QCOMPARE(view->property("count").toInt(), 2);
    QCOMPARE(view->property("firstName").toString(), QStringLiteral("A"));
    a->start();
    QCOMPARE(view->property("running").toInt(), 1);
    manager.removeTimer(a->id());
    QCOMPARE(view->property("count").toInt(), 1);
    QCOMPARE(view->property("running").toInt(), 0);
}

QTEST_GUILESS_MAIN(TestQmlBindings)
#include "tst_qmlbindings.moc"
