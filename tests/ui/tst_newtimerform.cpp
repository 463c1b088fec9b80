#include <QSignalSpy>
#include <QTest>

#include "support/TimerWorld.h"
#include "ui/NewTimerForm.h"

using namespace larkspur;
using namespace larkspur::test;

namespace {
// 2026-03-10 10:00:00 in the test's time zone (UTC, set by the test's environment).
double tenOClock() {
    const QDateTime at(QDate(2026, 3, 10), QTime(10, 0));
    return double(at.toSecsSinceEpoch()) - kReferenceDateOffset;
}

struct Fixture : TimerWorld {
    NewTimerForm form;
    Fixture() : TimerWorld(tenOClock()) { form.setTimerManager(&manager); }
};
}  // namespace

class TestNewTimerForm : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void createAtOnceMakesTheDefaultTimer();
    void startNowOffLeavesItIdle();
    void sectionsFollowTheMode_data();
    void sectionsFollowTheMode();
    void endTimeOfDay_data();
    void endTimeOfDay();
    void fieldsBecomeTheTimer_data();
    void fieldsBecomeTheTimer();
    void presetFillsTheForm_data();
    void presetFillsTheForm();
    void inputIsKeptInRange();
    void withoutManagerNothingIsMade();
};

void TestNewTimerForm::createAtOnceMakesTheDefaultTimer() {
    Fixture f;
    TimerInstance* timer = f.form.createTimer();
    QVERIFY(timer);
    QCOMPARE(f.manager.timers().size(), 1);
    QCOMPARE(timer->name(), QStringLiteral("Timer"));
    QCOMPARE(timer->mode(), TimerMode::Countdown);
    QCOMPARE(timer->totalDuration(), 300.0);
    QCOMPARE(timer->emoji(), std::optional<QString>(QStringLiteral("\u23F1")));
    QCOMPARE(timer->soundConfig(), SoundConfig{});
    QVERIFY(!timer->recurringConfig());
    QVERIFY(!timer->endDate());
    QCOMPARE(timer->state(), TimerState::Running);
    // Made through the manager: it is in the file already.
    QVERIFY(f.files.read(kActiveTimersFile).contains(timer->idString().toUtf8()));
}

void TestNewTimerForm::startNowOffLeavesItIdle() {
    Fixture f;
    f.form.setProperty("startNow", false);
    QCOMPARE(f.form.createTimer()->state(), TimerState::Idle);
}

void TestNewTimerForm::sectionsFollowTheMode_data() {
    QTest::addColumn<TimerMode>("mode");
    QTest::addColumn<bool>("duration");
    QTest::addColumn<bool>("endTime");
    QTest::addColumn<bool>("preWarning");
    QTest::addColumn<bool>("recurring");
    QTest::newRow("countdown") << TimerMode::Countdown << true << false << true << true;
    QTest::newRow("stopwatch") << TimerMode::Stopwatch << false << false << false << false;
    QTest::newRow("loop") << TimerMode::Loop << true << false << true << false;
    QTest::newRow("end time") << TimerMode::EndTime << false << true << true << true;
}

void TestNewTimerForm::sectionsFollowTheMode() {
    QFETCH(TimerMode, mode);
    QFETCH(bool, duration);
    QFETCH(bool, endTime);
    QFETCH(bool, preWarning);
    QFETCH(bool, recurring);
    NewTimerForm form;
    QSignalSpy changed(&form, &NewTimerForm::formChanged);
    form.setProperty("mode", QVariant::fromValue(mode));
    QCOMPARE(form.showsDuration(), duration);
    QCOMPARE(form.showsEndTime(), endTime);
    QCOMPARE(form.showsPreWarning(), preWarning);
    QCOMPARE(form.showsRecurring(), recurring);
    QCOMPARE(changed.isEmpty(), mode == TimerMode::Countdown);
}

void TestNewTimerForm::endTimeOfDay_data() {
    QTest::addColumn<int>("hour");
    QTest::addColumn<int>("minute");
    QTest::addColumn<double>("expectedTotal");
    QTest::newRow("later today") << 11 << 30 << 5400.0;
    QTest::newRow("one minute ahead") << 10 << 1 << 60.0;
    // A time that has passed means that time tomorrow, not a timer that is over at once.
    QTest::newRow("this very minute") << 10 << 0 << 86400.0;
    QTest::newRow("earlier today") << 8 << 0 << 22.0 * 3600;
    QTest::newRow("midnight") << 0 << 0 << 14.0 * 3600;
}

void TestNewTimerForm::endTimeOfDay() {
    QFETCH(int, hour);
    QFETCH(int, minute);
    QFETCH(double, expectedTotal);
    Fixture f;
    // The picker starts an hour ahead.
    QCOMPARE(f.form.endHour(), 11);
    QCOMPARE(f.form.endMinute(), 0);
    f.form.setProperty("mode", QVariant::fromValue(TimerMode::EndTime));
    f.form.setEndHour(hour);
    f.form.setEndMinute(minute);
    f.form.setProperty("startNow", false);
    TimerInstance* timer = f.form.createTimer();
    QCOMPARE(timer->mode(), TimerMode::EndTime);
    QCOMPARE(timer->totalDuration(), expectedTotal);
    QVERIFY(timer->endDate());
    QCOMPARE(*timer->endDate(), tenOClock() + expectedTotal);
}

void TestNewTimerForm::fieldsBecomeTheTimer_data() {
    QTest::addColumn<QVariantMap>("fields");
    QTest::addColumn<QString>("check");
    using M = QVariantMap;
    QTest::newRow("empty emoji is none") << M{{"emoji", ""}} << "noEmoji";
    QTest::newRow("empty name is kept") << M{{"name", ""}} << "emptyName";
    QTest::newRow("one minute warning") << M{{"preWarningOption", 60}} << "warn60";
    QTest::newRow("warning kept for stopwatch")
        << M{{"preWarningOption", 60}, {"mode", int(TimerMode::Stopwatch)}} << "warn60";
    QTest::newRow("unlimited runs")
        << M{{"isRecurring", true}, {"recurringUnlimited", true}, {"recurringInterval", 600}}
        << "unlimited";
    QTest::newRow("five runs") << M{{"isRecurring", true},
                                    {"recurringMaxRuns", 5},
                                    {"recurringInterval", 600}}
                               << "five";
    QTest::newRow("recurring kept for loop") << M{{"isRecurring", true},
                                                  {"recurringMaxRuns", 5},
                                                  {"recurringInterval", 600},
                                                  {"mode", int(TimerMode::Loop)}}
                                             << "five";
    QTest::newRow("sound") << M{{"selectedSound", "gong"},
                                {"volume", 0.25},
                                {"alertMode", int(AlertMode::LoopUntilDismissed)}}
                           << "sound";
}

void TestNewTimerForm::fieldsBecomeTheTimer() {
    QFETCH(QVariantMap, fields);
    QFETCH(QString, check);
    Fixture f;
    for (auto it = fields.cbegin(); it != fields.cend(); ++it)
        QVERIFY2(f.form.setProperty(it.key().toUtf8(), it.value()), qPrintable(it.key()));
    const TimerInstance* timer = f.form.createTimer();
    if (check == "noEmoji") QVERIFY(!timer->emoji());
    if (check == "emptyName") QCOMPARE(timer->name(), QString());
    if (check == "warn60")
        QCOMPARE(timer->soundConfig().preWarningSeconds, std::optional<qint64>(60));
    if (check == "unlimited") {
        QVERIFY(timer->recurringConfig());
        QCOMPARE(timer->recurringConfig()->interval, 600.0);
        QVERIFY(!timer->recurringConfig()->maxRuns);
    }
    if (check == "five") {
        QVERIFY(timer->recurringConfig());
        QCOMPARE(timer->recurringConfig()->maxRuns, std::optional<qint64>(5));
        QCOMPARE(timer->recurringConfig()->runsCompleted, 0);
    }
    if (check == "sound") {
        QCOMPARE(timer->soundConfig().soundName, QStringLiteral("gong"));
        QCOMPARE(timer->soundConfig().volume, 0.25f);
        QCOMPARE(timer->soundConfig().alertMode, AlertMode::LoopUntilDismissed);
    }
}

void TestNewTimerForm::presetFillsTheForm_data() {
    QTest::addColumn<bool>("withSound");
    QTest::addColumn<bool>("withEmoji");
    QTest::newRow("sound and emoji") << true << true;
    QTest::newRow("neither") << false << false;
}

void TestNewTimerForm::presetFillsTheForm() {
    QFETCH(bool, withSound);
    QFETCH(bool, withEmoji);
    Fixture f;
    f.form.setProperty("mode", QVariant::fromValue(TimerMode::Stopwatch));
    f.form.setProperty("selectedSound", "bell");
    f.form.setProperty("preWarningOption", 30);
    Preset preset;
    preset.name = QStringLiteral("Tea");
    preset.duration = 180;
    preset.color = QStringLiteral("#FF0000");
    if (withEmoji) preset.emoji = QStringLiteral("\U0001F375");
    if (withSound)
        preset.soundConfig = SoundConfig{QStringLiteral("gong"), 0.5f, AlertMode::Repeated, 60};
    f.form.applyPreset(preset);

    QCOMPARE(f.form.property("name").toString(), QStringLiteral("Tea"));
    QCOMPARE(f.form.property("duration").toDouble(), 180.0);
    QCOMPARE(f.form.property("mode").value<TimerMode>(), TimerMode::Countdown);
    QCOMPARE(f.form.property("emoji").toString(),
             withEmoji ? QStringLiteral("\U0001F375") : QStringLiteral("\u23F1"));
    QCOMPARE(f.form.property("selectedSound").toString(),
             withSound ? QStringLiteral("gong") : QStringLiteral("bell"));
    QCOMPARE(f.form.volume(), withSound ? 0.5 : double(0.8f));
    // Neither the preset's colour nor its warning is copied.
    QCOMPARE(f.form.property("preWarningOption").toInt(), 30);
    const TimerInstance* timer = f.form.createTimer();
    QVERIFY(!timer->color());
    QCOMPARE(timer->soundConfig().preWarningSeconds, std::optional<qint64>(30));
}

void TestNewTimerForm::inputIsKeptInRange() {
    NewTimerForm form;
    form.setVolume(3);
    QCOMPARE(form.volume(), 1.0);
    form.setVolume(-1);
    QCOMPARE(form.volume(), 0.0);
    form.setVolume(std::nan(""));
    QCOMPARE(form.volume(), 0.0);
    form.setRecurringMaxRuns(0);
    QCOMPARE(form.recurringMaxRuns(), 1);
    form.setRecurringMaxRuns(1000);
    QCOMPARE(form.recurringMaxRuns(), 100);
    form.setEndHour(30);
    form.setEndMinute(-5);
    QCOMPARE(form.endHour(), 23);
    QCOMPARE(form.endMinute(), 0);
}

void TestNewTimerForm::withoutManagerNothingIsMade() {
    NewTimerForm form;
    QCOMPARE(form.createTimer(), nullptr);
}

QTEST_GUILESS_MAIN(TestNewTimerForm)
#include "tst_newtimerform.moc"
