#include <QGuiApplication>
#include <QTest>

#include "app/HotKeys.h"
#include "engine/TimerManager.h"
#include "integrations/WebhookManager.h"
#include "platform/GlobalHotKeys.h"
#include "support/FakePanel.h"
#include "support/HttpReceiver.h"
#include "support/ManualTime.h"
#include "support/RecordingNotifier.h"
#include "support/StdoutCapture.h"
#include "support/TempStorage.h"

using namespace larkspur;
using namespace larkspur::test;

namespace {

// One request as it left, with the state of its timer at that moment.
struct Sent {
    QString event;
    TimerState stateWhenSent;
};

struct Fixture {
    TempStorage files;
    ManualTime time;
    RecordingNotifier notifier;
    HttpReceiver receiver;
    TimerManager timers{files.storage, time, time, notifier};
    WebhookManager webhooks{files.storage, time};
    FakePanel panel;
    SharedManagers shared = [this] {
        SharedManagers m;
        m.timerManager = &timers;
        m.webhookManager = &webhooks;
        m.panel = &panel;
        return m;
    }();
    HotKeys keys{shared};
    QList<Sent> sent;

    Fixture() {
        webhooks.setWebhookUrlText(receiver.url());
        // Emitted as the request leaves, so the subject's state then is its state at sending.
        QObject::connect(
            &webhooks, &WebhookManager::requestSent, &webhooks, [this](const QString& event) {
                const auto& list = timers.timers();
                sent.append({event, list.isEmpty() ? TimerState::Idle : list.last()->state()});
            });
    }

    // A 60 s timer brought into `state`; an end-time timer ends 100 s after it is made.
    TimerInstance* add(const QString& name, TimerState state, TimerMode mode = TimerMode::Countdown,
                       double duration = 60) {
        std::optional<double> endDate;
        if (mode == TimerMode::EndTime) endDate = time.now() + 100;
        TimerInstance* t = timers.createTimer(name, duration, mode, SoundConfig{},
                                              QStringLiteral("🍵"), std::nullopt, endDate);
        if (state == TimerState::Idle) return t;
        if (state == TimerState::Completed) {
            t->start();
            time.advance(duration + 1);
            return t;
        }
        t->start();
        time.advance(5);
        if (state == TimerState::Paused) t->pause();
        return t;
    }

    // The requests that reached the receiver, waited for until `n` are there.
    QList<HttpReceiver::Request> arrived(qsizetype n) {
        [&] { QTRY_COMPARE_WITH_TIMEOUT(receiver.requests.size(), n, 5000); }();
        return receiver.requests;
    }
};

}  // namespace

class TestHotKeyActions : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void startPause_data();
    void startPause();
    void reset_data();
    void reset();
    void nothingWithoutTimers_data();
    void nothingWithoutTimers();
    void withoutWebhookManager();
    void togglePanel();
    void unknownIds_data();
    void unknownIds();
    void registrationWithoutX11();
};

void TestHotKeyActions::startPause_data() {
    QTest::addColumn<TimerState>("before");
    QTest::addColumn<int>("mode");
    QTest::addColumn<TimerState>("after");
    QTest::addColumn<QString>("event");  // empty: none
    QTest::addColumn<double>("duration");
    const int countdown = int(TimerMode::Countdown);
    QTest::newRow("idle starts") << TimerState::Idle << countdown << TimerState::Running
                                 << "timer.started" << 60.0;
    QTest::newRow("running pauses")
        << TimerState::Running << countdown << TimerState::Paused << "timer.paused" << 60.0;
    QTest::newRow("paused resumes silently")
        << TimerState::Paused << countdown << TimerState::Running << "" << 60.0;
    QTest::newRow("completed starts again")
        << TimerState::Completed << countdown << TimerState::Running << "timer.started" << 60.0;
    QTest::newRow("stopwatch starts") << TimerState::Idle << int(TimerMode::Stopwatch)
                                      << TimerState::Running << "timer.started" << 60.0;
    // The end time is 100 s ahead at the press: the webhook carries the recomputed duration.
    QTest::newRow("end time starts") << TimerState::Idle << int(TimerMode::EndTime)
                                     << TimerState::Running << "timer.started" << 100.0;
}

void TestHotKeyActions::startPause() {
    QFETCH(TimerState, before);
    QFETCH(int, mode);
    QFETCH(TimerState, after);
    QFETCH(QString, event);
    QFETCH(double, duration);
    Fixture f;
    // Earlier timers in other states must be left alone, even a running one.
    TimerInstance* first =
        f.add(QStringLiteral("First"), TimerState::Running, TimerMode::Countdown, 3600);
    TimerInstance* second =
        f.add(QStringLiteral("Second"), TimerState::Paused, TimerMode::Countdown, 3600);
    TimerInstance* last = f.add(QStringLiteral("Last"), before, TimerMode(mode));
    const double firstElapsed = first->elapsedTime();

    f.keys.handle(HotKeys::StartPause);

    QCOMPARE(last->state(), after);
    QCOMPARE(first->state(), TimerState::Running);
    QCOMPARE(second->state(), TimerState::Paused);
    f.time.advance(1);
    QVERIFY(first->elapsedTime() > firstElapsed + 0.5);
    if (event.isEmpty()) {
        QCOMPARE(f.sent.size(), 0);
        return;
    }
    QCOMPARE(f.sent.size(), 1);
    QCOMPARE(f.sent[0].event, event);
    QCOMPARE(f.sent[0].stateWhenSent, after);  // the action came first
    const QJsonObject body = f.arrived(1).first().json();
    QCOMPARE(body.value("event").toString(), event);
    QCOMPARE(body.value("timer_name").toString(), QStringLiteral("Last"));
    QCOMPARE(body.value("timer_duration").toDouble(), duration);
    QCOMPARE(body.value("timer_emoji").toString(), QStringLiteral("🍵"));
}

void TestHotKeyActions::reset_data() {
    QTest::addColumn<TimerState>("before");
    QTest::newRow("idle") << TimerState::Idle;
    QTest::newRow("running") << TimerState::Running;
    QTest::newRow("paused") << TimerState::Paused;
    QTest::newRow("completed") << TimerState::Completed;
}

void TestHotKeyActions::reset() {
    QFETCH(TimerState, before);
    Fixture f;
    TimerInstance* first =
        f.add(QStringLiteral("First"), TimerState::Running, TimerMode::Countdown, 3600);
    TimerInstance* last = f.add(QStringLiteral("Last"), before);

    f.keys.handle(HotKeys::Reset);

    QCOMPARE(last->state(), TimerState::Idle);
    QCOMPARE(last->elapsedTime(), 0.0);
    QCOMPARE(first->state(), TimerState::Running);
    QCOMPARE(f.sent.size(), 1);
    QCOMPARE(f.sent[0].event, QStringLiteral("timer.reset"));
    QCOMPARE(f.sent[0].stateWhenSent, before);  // sent before the reset
    const QJsonObject body = f.arrived(1).first().json();
    QCOMPARE(body.value("timer_name").toString(), QStringLiteral("Last"));
    QCOMPARE(body.value("timer_duration").toDouble(), 60.0);
}

void TestHotKeyActions::nothingWithoutTimers_data() {
    QTest::addColumn<quint32>("id");
    QTest::newRow("start/pause") << quint32(HotKeys::StartPause);
    QTest::newRow("reset") << quint32(HotKeys::Reset);
}

void TestHotKeyActions::nothingWithoutTimers() {
    QFETCH(quint32, id);
    Fixture f;
    f.keys.handle(id);
    QVERIFY(f.timers.timers().isEmpty());
    QVERIFY(!QFile::exists(f.files.path(kActiveTimersFile)));
    QCOMPARE(f.sent.size(), 0);

    // And with no timer manager at all, nor any other manager or panel.
    SharedManagers none;
    HotKeys bare(none);
    for (quint32 each : {1u, 2u, 3u}) bare.handle(each);
    QCOMPARE(f.panel.shows + f.panel.hides, 0);
    QCOMPARE(f.sent.size(), 0);
}

void TestHotKeyActions::withoutWebhookManager() {
    Fixture f;
    TimerInstance* t = f.add(QStringLiteral("Tea"), TimerState::Idle);
    SharedManagers timersOnly;
    timersOnly.timerManager = &f.timers;
    HotKeys keys(timersOnly);
    keys.handle(HotKeys::StartPause);
    QCOMPARE(t->state(), TimerState::Running);
    keys.handle(HotKeys::Reset);
    QCOMPARE(t->state(), TimerState::Idle);
    QCOMPARE(f.sent.size(), 0);
}

void TestHotKeyActions::togglePanel() {
    Fixture f;
    f.keys.handle(HotKeys::TogglePanel);
    QVERIFY(f.panel.visible);
    f.keys.handle(HotKeys::TogglePanel);
    QVERIFY(!f.panel.visible);
    QCOMPARE(f.panel.shows, 1);
    QCOMPARE(f.panel.hides, 1);
    f.shared.panel = nullptr;  // before launching has finished
    f.keys.handle(HotKeys::TogglePanel);
    QCOMPARE(f.panel.shows + f.panel.hides, 2);
    QCOMPARE(f.sent.size(), 0);
}

void TestHotKeyActions::unknownIds_data() {
    QTest::addColumn<quint32>("id");
    QTest::newRow("zero") << 0u;
    QTest::newRow("four") << 4u;
    QTest::newRow("largest") << 0xffffffffu;
}

void TestHotKeyActions::unknownIds() {
    QFETCH(quint32, id);
    Fixture f;
    TimerInstance* t = f.add(QStringLiteral("Tea"), TimerState::Running);
    f.keys.handle(id);
    QCOMPARE(t->state(), TimerState::Running);
    QCOMPARE(f.panel.shows + f.panel.hides, 0);
    QCOMPARE(f.sent.size(), 0);
}

void TestHotKeyActions::registrationWithoutX11() {
    QCOMPARE(QGuiApplication::platformName(), QStringLiteral("offscreen"));
    Fixture f;
    StdoutCapture out;
    f.keys.registerHotKey();
    f.keys.registerHotKey();
    QVERIFY(f.keys.keys());
    QVERIFY(!f.keys.keys()->isAvailable());
    QVERIFY(f.keys.keys()->registeredIds().isEmpty());
    QCOMPARE(out.text(), QStringLiteral("Global hot keys are unavailable: no X11 display\n"));
    // The actions still work through other routes.
    f.keys.handle(HotKeys::TogglePanel);
    QVERIFY(f.panel.visible);
}

QTEST_MAIN(TestHotKeyActions)
#include "tst_hotkeyactions.moc"
