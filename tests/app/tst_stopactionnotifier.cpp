#include <QTest>

#include "app/StopActionNotifier.h"
#include "engine/TimerManager.h"
#include "engine/TimerNotifications.h"
#include "support/ManualTime.h"
#include "support/RecordingNotifier.h"
#include "support/TempStorage.h"

using namespace larkspur;
using namespace larkspur::test;

class TestStopActionNotifier : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void actions_data();
    void actions();
};

void TestStopActionNotifier::actions_data() {
    QTest::addColumn<int>("alert");
    QTest::addColumn<bool>("preWarning");
    QTest::addColumn<bool>("stop");
    QTest::newRow("until dismissed: Stop") << int(AlertMode::LoopUntilDismissed) << false << true;
    QTest::newRow("its pre-warning: none") << int(AlertMode::LoopUntilDismissed) << true << false;
    QTest::newRow("once: none") << int(AlertMode::OneShot) << false << false;
    QTest::newRow("three times: none") << int(AlertMode::Repeated) << false << false;
}

void TestStopActionNotifier::actions() {
    QFETCH(int, alert);
    QFETCH(bool, preWarning);
    QFETCH(bool, stop);
    QList<std::pair<Notification, QStringList>> posted;
    StopActionNotifier notifier([&](const Notification& n, const QStringList& actions) {
        posted.append({n, actions});
    });
    TempStorage files;
    ManualTime time;
    TimerManager timers(files.storage, time, time, notifier);
    notifier.setTimerManager(&timers);
    SoundConfig sound;
    sound.alertMode = AlertMode(alert);
    sound.preWarningSeconds = 5;
    TimerInstance* timer = timers.createTimer("Tea", 10, TimerMode::Countdown, sound);
    timer->start();
    time.advance(preWarning ? 6 : 11);
    QVERIFY(!posted.isEmpty());
    const auto& [n, actions] = posted.last();
    QCOMPARE(n, preWarning ? preWarningNotification(timer->data())
                           : completionNotification(timer->data()));
    QCOMPARE(actions, stop ? (QStringList{"stop", "Stop"}) : QStringList());
}

QTEST_GUILESS_MAIN(TestStopActionNotifier)
#include "tst_stopactionnotifier.moc"
