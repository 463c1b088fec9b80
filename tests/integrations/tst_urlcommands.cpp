#include <QJsonArray>
#include <QJsonDocument>
#include <QTest>

#include "engine/TimerManager.h"
#include "integrations/UrlCommandHandler.h"
#include "integrations/WebhookManager.h"
#include "support/FakePanel.h"
#include "support/HttpReceiver.h"
#include "support/ManualTime.h"
#include "support/RecordingNotifier.h"
#include "support/StdoutCapture.h"
#include "support/TempStorage.h"

using namespace larkspur;
using namespace larkspur::test;

namespace {
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
    UrlCommandHandler handler{shared};

    Fixture() { webhooks.setWebhookUrlText(receiver.url()); }
    TimerInstance* last() const { return timers.timers().last(); }
    // Waits until `n` requests have arrived, then a little longer to catch any extra one.
    // Requests travel on parallel connections, so their arrival order is not meaningful.
    QStringList events(int n) {
        [&] { QTRY_VERIFY_WITH_TIMEOUT(receiver.requests.size() >= n, 5000); }();
        QTest::qWait(30);
        QStringList out = receiver.events();
        out.sort();
        return out;
    }
};
}  // namespace

class TestUrlCommands : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void queryParams_data();
    void queryParams();
    void durations_data();
    void durations();
    void startParameters_data();
    void startParameters();
    void ignored_data();
    void ignored();
    void startSendsWebhookAndShowsPanel();
    void pauseSendsForEveryPausedTimer();
    void resumeSendsNothing();
    void resetSendsBeforeResetting();
    void stopRemovesEverything();
    void toggle();
    void startThenPauseInOneDelivery();
    void withoutManagersNothingHappens();
};

void TestUrlCommands::queryParams_data() {
    QTest::addColumn<QString>("url");
    QTest::addColumn<QVariantMap>("expected");
    QTest::newRow("none") << "larkspurhollow://start" << QVariantMap{};
    QTest::newRow("later wins") << "larkspurhollow://start?name=A&name=B"
                                << QVariantMap{{"name", "B"}};
    QTest::newRow("bare name removes") << "larkspurhollow://start?name=A&name" << QVariantMap{};
    QTest::newRow("empty value") << "larkspurhollow://start?name=" << QVariantMap{{"name", ""}};
    QTest::newRow("plus stays") << "larkspurhollow://start?name=Deep+Work"
                                << QVariantMap{{"name", "Deep+Work"}};
    QTest::newRow("escapes") << "larkspurhollow://start?name=Deep%20Work&emoji=%F0%9F%8D%B5"
                             << QVariantMap{{"name", "Deep Work"}, {"emoji", "🍵"}};
    QTest::newRow("value with =") << "larkspurhollow://start?name=a=b"
                                  << QVariantMap{{"name", "a=b"}};
    QTest::newRow("fragment cut") << "larkspurhollow://start?name=a#b"
                                  << QVariantMap{{"name", "a"}};
    QTest::newRow("bad escape") << "larkspurhollow://start?name=%zz" << QVariantMap{};
    QTest::newRow("path ignored") << "larkspurhollow://start/x/y?duration=5"
                                  << QVariantMap{{"duration", "5"}};
}

void TestUrlCommands::queryParams() {
    QFETCH(QString, url);
    QFETCH(QVariantMap, expected);
    const auto params = parseQueryParams(url);
    QVariantMap got;
    for (auto it = params.begin(); it != params.end(); ++it) got.insert(it.key(), it.value());
    QCOMPARE(got, expected);
}

void TestUrlCommands::durations_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("expected");  // -1: not a usable duration
    QTest::newRow("integer") << "90" << 90.0;
    QTest::newRow("fraction") << "90.5" << 90.5;
    QTest::newRow("exponent") << "1e3" << 1000.0;
    QTest::newRow("plus") << "+5" << 5.0;
    QTest::newRow("zero") << "0" << 0.0;
    QTest::newRow("letters") << "abc" << -1.0;
    QTest::newRow("trailing") << "90s" << -1.0;
    QTest::newRow("space") << " 90" << -1.0;
    QTest::newRow("empty") << "" << -1.0;
    QTest::newRow("nan") << "nan" << -1.0;
    QTest::newRow("inf") << "inf" << -1.0;
    QTest::newRow("overflow") << "1e999" << -1.0;
    QTest::newRow("negative") << "-5" << -1.0;
    QTest::newRow("double sign") << "+-5" << -1.0;
    QTest::newRow("arabic digits") << "٩٠" << -1.0;
}

void TestUrlCommands::durations() {
    QFETCH(QString, text);
    QFETCH(double, expected);
    const auto d = parseDuration(text);
    if (expected < 0)
        QVERIFY(!d);
    else
        QCOMPARE(d.value_or(-1), expected);
}

void TestUrlCommands::startParameters_data() {
    QTest::addColumn<QString>("url");
    QTest::addColumn<QString>("name");
    QTest::addColumn<double>("duration");
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("emoji");  // "-": none
    const int cd = int(TimerMode::Countdown);
    QTest::newRow("defaults") << "larkspurhollow://start"
                              << "Timer" << 300.0 << cd << "-";
    QTest::newRow("tea") << "larkspurhollow://start?name=Tea&duration=180&emoji=%F0%9F%8D%B5"
                         << "Tea" << 180.0 << cd << "🍵";
    QTest::newRow("bad duration") << "larkspurhollow://start?duration=abc"
                                  << "Timer" << 300.0 << cd << "-";
    QTest::newRow("nan duration") << "larkspurhollow://start?duration=nan"
                                  << "Timer" << 300.0 << cd << "-";
    QTest::newRow("negative") << "larkspurhollow://start?duration=-5"
                              << "Timer" << 300.0 << cd << "-";
    QTest::newRow("mode case") << "larkspurhollow://start?mode=Stopwatch"
                               << "Timer" << 300.0 << cd << "-";
    QTest::newRow("stopwatch") << "larkspurhollow://start?mode=stopwatch"
                               << "Timer" << 300.0 << int(TimerMode::Stopwatch) << "-";
    QTest::newRow("loop") << "larkspurhollow://start?mode=loop&duration=2"
                          << "Timer" << 2.0 << int(TimerMode::Loop) << "-";
    QTest::newRow("empty name") << "larkspurhollow://start?name="
                                << "" << 300.0 << cd << "-";
    QTest::newRow("text emoji") << "larkspurhollow://start?emoji=tea"
                                << "Timer" << 300.0 << cd << "tea";
    QTest::newRow("huge") << "larkspurhollow://start?duration=1e300"
                          << "Timer" << 1e300 << cd << "-";
}

void TestUrlCommands::startParameters() {
    QFETCH(QString, url);
    QFETCH(QString, name);
    QFETCH(double, duration);
    QFETCH(int, mode);
    QFETCH(QString, emoji);
    Fixture f;
    f.handler.handleURL(url);
    QCOMPARE(f.timers.timers().size(), 1);
    TimerInstance* t = f.last();
    QCOMPARE(t->name(), name);
    QCOMPARE(t->totalDuration(), duration);
    QCOMPARE(int(t->mode()), mode);
    QCOMPARE(t->emoji().value_or("-"), emoji);
    QCOMPARE(t->state(), TimerState::Running);
    QCOMPARE(t->soundConfig(), SoundConfig{});
    QVERIFY(!t->displayTime().isEmpty());
}

void TestUrlCommands::ignored_data() {
    QTest::addColumn<QString>("url");
    QTest::newRow("command case") << "larkspurhollow://Start";
    QTest::newRow("scheme case") << "Larkspurhollow://start";
    QTest::newRow("no host") << "larkspurhollow:start";
    QTest::newRow("empty host") << "larkspurhollow:///start";
    QTest::newRow("foreign scheme") << "https://start";
    QTest::newRow("unknown command") << "larkspurhollow://explode";
    QTest::newRow("not a url") << "start";
    QTest::newRow("empty") << "";
    QTest::newRow("garbage") << QString::fromUtf8("\x01\x02://%%%");
}

void TestUrlCommands::ignored() {
    QFETCH(QString, url);
    Fixture f;
    StdoutCapture out;
    f.handler.handleURL(url);
    QVERIFY(f.timers.timers().isEmpty());
    QCOMPARE(f.panel.shows + f.panel.hides, 0);
    QCOMPARE(out.text(), QString());
}

void TestUrlCommands::startSendsWebhookAndShowsPanel() {
    Fixture f;
    f.handler.handleURL("larkspurhollow://start?name=Tea");
    QCOMPARE(f.panel.shows, 1);
    f.handler.handleURL("larkspurhollow://start?name=More");
    QCOMPARE(f.panel.shows, 1);  // already visible
    QCOMPARE(f.events(2), (QStringList{"timer.started", "timer.started"}));
    const QJsonArray stored = QJsonDocument::fromJson(f.files.read(kActiveTimersFile)).array();
    QCOMPARE(stored.size(), 2);
}

void TestUrlCommands::pauseSendsForEveryPausedTimer() {
    Fixture f;
    auto* a = f.timers.createTimer("A", 60, TimerMode::Countdown, SoundConfig{});
    auto* b = f.timers.createTimer("B", 60, TimerMode::Countdown, SoundConfig{});
    auto* c = f.timers.createTimer("C", 60, TimerMode::Countdown, SoundConfig{});
    f.timers.createTimer("Idle", 60, TimerMode::Countdown, SoundConfig{});
    a->start();
    b->start();
    c->start();
    b->pause();
    f.handler.handleURL("larkspurhollow://pause");
    QCOMPARE(f.events(3), (QStringList{"timer.paused", "timer.paused", "timer.paused"}));
    QStringList names;
    for (const auto& r : f.receiver.requests) names << r.json().value("timer_name").toString();
    names.sort();
    QCOMPARE(names, (QStringList{"A", "B", "C"}));
}

void TestUrlCommands::resumeSendsNothing() {
    Fixture f;
    auto* a = f.timers.createTimer("A", 60, TimerMode::Countdown, SoundConfig{});
    auto* done = f.timers.createTimer("Done", 1, TimerMode::Countdown, SoundConfig{});
    a->start();
    done->start();
    f.time.advance(2);
    a->pause();
    f.handler.handleURL("larkspurhollow://resume");
    QCOMPARE(a->state(), TimerState::Running);
    QCOMPARE(done->state(), TimerState::Completed);
    f.handler.handleURL("larkspurhollow://pause");  // a marker request after resume's (none)
    QCOMPARE(f.events(1), QStringList{"timer.paused"});
}

void TestUrlCommands::resetSendsBeforeResetting() {
    Fixture f;
    auto* a = f.timers.createTimer("A", 60, TimerMode::Countdown, SoundConfig{});
    f.timers.createTimer("B", 5, TimerMode::EndTime, SoundConfig{}, std::nullopt, std::nullopt,
                         f.time.now() + 100);
    f.timers.createTimer("C", 1, TimerMode::Countdown, SoundConfig{})->start();
    a->start();
    f.time.advance(2);
    f.handler.handleURL("larkspurhollow://reset");
    QCOMPARE(f.events(3), (QStringList{"timer.reset", "timer.reset", "timer.reset"}));
    for (TimerInstance* t : f.timers.timers()) QCOMPARE(t->state(), TimerState::Idle);
}

void TestUrlCommands::stopRemovesEverything() {
    Fixture f;
    f.handler.handleURL("larkspurhollow://stop");  // nothing to remove
    QVERIFY(!QFile::exists(f.files.path(kActiveTimersFile)));
    f.handler.handleURL("larkspurhollow://start");
    f.timers.createTimer("Idle", 60, TimerMode::Countdown, SoundConfig{});
    f.handler.handleURL("larkspurhollow://stop");
    QVERIFY(f.timers.timers().isEmpty());
    QCOMPARE(f.files.read(kActiveTimersFile), QByteArray("[]"));
}

void TestUrlCommands::toggle() {
    Fixture f;
    f.handler.handleURL("larkspurhollow://toggle");
    QVERIFY(f.panel.visible);
    f.handler.handleURL("larkspurhollow://toggle");
    QVERIFY(!f.panel.visible);
    f.shared.panel = nullptr;
    f.handler.handleURL("larkspurhollow://toggle");  // no panel yet: nothing, no crash
    f.handler.handleURL("larkspurhollow://start");
    QCOMPARE(f.timers.timers().size(), 1);
}

void TestUrlCommands::startThenPauseInOneDelivery() {
    Fixture f;
    f.handler.handleURLs({"larkspurhollow://start?name=Tea", "larkspurhollow://pause"});
    QCOMPARE(f.last()->state(), TimerState::Paused);
    QCOMPARE(f.events(2), (QStringList{"timer.paused", "timer.started"}));
}

void TestUrlCommands::withoutManagersNothingHappens() {
    Fixture f;
    SharedManagers none;
    UrlCommandHandler handler(none);
    handler.handleURL("larkspurhollow://start");
    handler.handleURL("larkspurhollow://toggle");
    SharedManagers noWebhooks;
    noWebhooks.timerManager = &f.timers;
    UrlCommandHandler partial(noWebhooks);
    partial.handleURL("larkspurhollow://start");
    partial.handleURL("larkspurhollow://reset");
    QCOMPARE(f.timers.timers().size(), 1);
    QTest::qWait(50);
    QVERIFY(f.receiver.requests.isEmpty());
}

QTEST_GUILESS_MAIN(TestUrlCommands)
#include "tst_urlcommands.moc"
