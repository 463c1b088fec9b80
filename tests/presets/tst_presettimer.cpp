#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSignalSpy>
#include <QTest>

#include "engine/TimerManager.h"
#include "presets/Preset.h"
#include "support/ManualTime.h"
#include "support/RecordingNotifier.h"
#include "support/TempStorage.h"

using namespace larkspur;
using namespace larkspur::test;

Q_DECLARE_METATYPE(larkspur::SoundConfig)

class TestPresetTimer : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void createsIdleCountdown_data();
    void createsIdleCountdown();
    void appendsAfterExistingTimers();
    void quickStartRunsToCompletion();
};

void TestPresetTimer::createsIdleCountdown_data() {
    QTest::addColumn<Preset>("preset");
    QTest::addColumn<SoundConfig>("sound");
    const SoundConfig gong{QStringLiteral("gong"), 0.25f, AlertMode::LoopUntilDismissed, 60};

    QTest::newRow("built-in, default sound") << Preset::defaults().at(3) << SoundConfig{};
    Preset bare;
    bare.id = QUuid::createUuid();
    bare.name = QStringLiteral("Bare");
    bare.duration = 42.5;
    bare.sortOrder = 9;
    QTest::newRow("no emoji, no colour") << bare << SoundConfig{};
    Preset full = bare;
    full.name = QStringLiteral("Steep");
    full.emoji = QStringLiteral("🍵");
    full.color = QStringLiteral("#3A7D44");
    full.soundConfig = gong;
    QTest::newRow("own sound, emoji and colour") << full << gong;
    Preset empty = bare;
    empty.name = QString();
    empty.duration = 0;
    QTest::newRow("empty name, zero duration") << empty << SoundConfig{};
}

void TestPresetTimer::createsIdleCountdown() {
    QFETCH(Preset, preset);
    QFETCH(SoundConfig, sound);
    TempStorage files;
    ManualTime time;
    RecordingNotifier notifier;
    TimerManager manager(files.storage, time, time, notifier);
    QSignalSpy listChanged(&manager, &TimerManager::timersChanged);

    TimerInstance* timer = manager.createTimer(preset);
    QVERIFY(timer);
    QCOMPARE(manager.timers(), QList<TimerInstance*>{timer});
    QCOMPARE(timer->name(), preset.name);
    QCOMPARE(timer->totalDuration(), preset.duration);
    QCOMPARE(timer->mode(), TimerMode::Countdown);
    QCOMPARE(timer->soundConfig(), sound);
    QCOMPARE(timer->emoji(), preset.emoji);
    QCOMPARE(timer->color(), preset.color);
    QVERIFY(!timer->endDate());
    QVERIFY(!timer->recurringConfig());
    QVERIFY(timer->id() != preset.id);
    QCOMPARE(timer->data().createdAt, time.now());
    QCOMPARE(timer->state(), TimerState::Idle);
    QVERIFY(!timer->isTicking());
    QCOMPARE(listChanged.size(), 1);

    const QJsonArray stored = QJsonDocument::fromJson(files.read(kActiveTimersFile)).array();
    QCOMPARE(stored.size(), 1);
    const QJsonObject first = stored.first().toObject();
    QCOMPARE(first.value("name").toString(), preset.name);
    QCOMPARE(first.value("mode").toString(), QStringLiteral("countdown"));
    QCOMPARE(first.value("state").toString(), QStringLiteral("idle"));
    QCOMPARE(first.contains("emoji"), preset.emoji.has_value());
    QCOMPARE(first.contains("color"), preset.color.has_value());

    time.advance(preset.duration + 5);
    QCOMPARE(timer->state(), TimerState::Idle);
    QCOMPARE(timer->elapsedTime(), 0.0);
}

void TestPresetTimer::appendsAfterExistingTimers() {
    TempStorage files;
    ManualTime time;
    RecordingNotifier notifier;
    TimerManager manager(files.storage, time, time, notifier);
    manager.createTimer(QStringLiteral("First"), 10, TimerMode::Stopwatch, SoundConfig{});
    TimerInstance* fromPreset = manager.createTimer(Preset::defaults().first());
    QCOMPARE(manager.timers().size(), 2);
    QCOMPARE(manager.timers().last(), fromPreset);
    const QJsonArray stored = QJsonDocument::fromJson(files.read(kActiveTimersFile)).array();
    QCOMPARE(stored.at(1).toObject().value("name").toString(), QStringLiteral("Quick 5"));
}

void TestPresetTimer::quickStartRunsToCompletion() {
    TempStorage files;
    ManualTime time;
    RecordingNotifier notifier;
    TimerManager manager(files.storage, time, time, notifier);
    QStringList completed;
    manager.setOnTimerCompleted([&](TimerInstance* t) { completed << t->name(); });
    TimerInstance* timer = manager.createTimer(Preset::defaults().first());
    timer->start();
    time.advance(299);
    QVERIFY(completed.isEmpty());
    time.advance(2);
    QCOMPARE(completed, QStringList{"Quick 5"});
    QCOMPARE(notifier.posted.last().body, QStringLiteral("\u26A1 Quick 5 — Time's up!"));
}

QTEST_GUILESS_MAIN(TestPresetTimer)
#include "tst_presettimer.moc"
