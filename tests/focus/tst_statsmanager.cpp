#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTest>
#include <cmath>
#include <limits>

#include "focus/DailyGoal.h"
#include "focus/FocusTesting.h"
#include "focus/StatsManager.h"
#include "support/ManualTime.h"
#include "support/StdoutCapture.h"
#include "support/TempStorage.h"

using namespace larkspur;
using namespace larkspur::test;

namespace {

constexpr qint64 kMax = std::numeric_limits<qint64>::max();
constexpr qint64 kMin = std::numeric_limits<qint64>::min();

struct Fixture {
    TempStorage files;
    // Wednesday noon; with en_US the week began on Sunday the 12th.
    ManualTime time{localTime(QStringLiteral("2024-05-15T12:00:00"))};

    std::unique_ptr<StatsManager> launch() {
        return std::make_unique<StatsManager>(files.storage, time,
                                              QLocale(QStringLiteral("en_US")));
    }
    QStringList keptCopies() const {
        return QDir(files.storage.directory()).entryList({"*.unreadable-*"}, QDir::Files);
    }
    std::optional<QList<FocusSession>> stored() const {
        return files.storage.load<QList<FocusSession>>(kFocusSessionsFile);
    }
};

FocusSession at(const char* local, double seconds, bool completed = true,
                SessionType type = SessionType::Focus) {
    return record(localTime(QString::fromLatin1(local)), seconds, completed, type);
}

const char* const kToday = "2024-05-15T11:00:00";

}  // namespace

class TestStatsManager : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void figures_data();
    void figures();
    void defaultGoalWritesNothing();
    void goalFiles_data();
    void goalFiles();
    void goalAssignmentAlwaysWrites();
    void goalExtremesSurviveRestart_data();
    void goalExtremesSurviveRestart();
    void logSessionAppendsThenWritesThenTells();
    void historyFromElsewhereIsExtended_data();
    void historyFromElsewhereIsExtended();
    void unreadableHistory_data();
    void unreadableHistory();
    void failedWriteKeepsRecordForNextWrite();
    void refusesRecordsWithoutJsonForm_data();
    void refusesRecordsWithoutJsonForm();
    void hugeSumsSaturate();
    void figuresFollowMidnight();
    void keptFiguresEqualAFreshLoad();
};

void TestStatsManager::figures_data() {
    QTest::addColumn<QList<FocusSession>>("sessions");
    QTest::addColumn<qint64>("goal");
    QTest::addColumn<qint64>("todayMinutes");
    QTest::addColumn<qint64>("todayBlocks");
    QTest::addColumn<qint64>("weekBlocks");
    QTest::addColumn<qint64>("totalMinutes");
    QTest::addColumn<double>("progress");
    QTest::addColumn<int>("todayListed");
    QTest::addColumn<int>("weekListed");
    using L = QList<FocusSession>;
    const FocusSession full = at(kToday, 1500);
    QTest::newRow("no records") << L{} << 120ll << 0ll << 0ll << 0ll << 0ll << 0.0 << 0 << 0;
    QTest::newRow("25 minutes today")
        << L{full} << 120ll << 25ll << 1ll << 1ll << 25ll << 25.0 / 120 << 1 << 1;
    QTest::newRow("skipped is only listed")
        << L{at(kToday, 600, false)} << 120ll << 0ll << 0ll << 0ll << 0ll << 0.0 << 1 << 1;
    QTest::newRow("breaks never count") << L{at(kToday, 300, true, SessionType::ShortBreak),
                                             at(kToday, 900, true, SessionType::LongBreak)}
                                        << 120ll << 0ll << 0ll << 0ll << 0ll << 0.0 << 0 << 0;
    QTest::newRow("progress caps at 1")
        << L{at("2024-05-15T08:00:00", 4500), at("2024-05-15T10:00:00", 4500)} << 120ll << 150ll
        << 2ll << 2ll << 150ll << 1.0 << 2 << 2;
    QTest::newRow("89 s is a minute")
        << L{at(kToday, 89)} << 120ll << 1ll << 1ll << 1ll << 1ll << 1.0 / 120 << 1 << 1;
    QTest::newRow("59 s is none") << L{at(kToday, 59)} << 120ll << 0ll << 1ll << 1ll << 0ll << 0.0
                                  << 1 << 1;
    QTest::newRow("summed before truncating")
        << L{at(kToday, 50), at(kToday, 50), at(kToday, 50)} << 120ll << 2ll << 3ll << 3ll << 2ll
        << 2.0 / 120 << 3 << 3;
    QTest::newRow("this week and before")
        << L{at("2024-05-13T10:00:00", 1500), at("2024-05-08T10:00:00", 1500), at(kToday, 600)}
        << 120ll << 10ll << 1ll << 2ll << 60ll << 10.0 / 120 << 1 << 2;
    QTest::newRow("started before midnight") << L{at("2024-05-14T23:50:00", 1500)} << 120ll << 0ll
                                             << 0ll << 1ll << 25ll << 0.0 << 0 << 1;
    QTest::newRow("future counts for the week") << L{at("2024-05-17T09:00:00", 1500)} << 120ll
                                                << 0ll << 0ll << 1ll << 25ll << 0.0 << 0 << 1;
    QTest::newRow("goal 0") << L{full} << 0ll << 25ll << 1ll << 1ll << 25ll << 0.0 << 1 << 1;
    QTest::newRow("goal -30") << L{full} << -30ll << 25ll << 1ll << 1ll << 25ll << 0.0 << 1 << 1;
    QTest::newRow("goal 1") << L{full} << 1ll << 25ll << 1ll << 1ll << 25ll << 1.0 << 1 << 1;
    QTest::newRow("negative length")
        << L{at(kToday, -1200)} << 120ll << -20ll << 1ll << 1ll << -20ll << 0.0 << 1 << 1;
}

void TestStatsManager::figures() {
    QFETCH(QList<FocusSession>, sessions);
    QFETCH(qint64, goal);
    Fixture f;
    auto logged = f.launch();
    logged->setDailyGoalMinutes(goal);
    for (const FocusSession& s : sessions) QVERIFY(logged->logSession(s));
    // Once as logged, once as read back from the files.
    const auto loaded = f.launch();
    for (StatsManager* m : {logged.get(), loaded.get()}) {
        QCOMPARE(m->sessions(), sessions);
        QCOMPARE(m->dailyGoalMinutes(), goal);
        QTEST(m->todayFocusMinutes(), "todayMinutes");
        QTEST(m->todayFocusBlocks(), "todayBlocks");
        QTEST(m->weekFocusBlocks(), "weekBlocks");
        QTEST(m->totalFocusMinutes(), "totalMinutes");
        QTEST(m->dailyGoalProgress(), "progress");
        QTEST(int(m->todaySessions().size()), "todayListed");
        QTEST(int(m->thisWeekSessions().size()), "weekListed");
    }
}

void TestStatsManager::defaultGoalWritesNothing() {
    Fixture f;
    const auto m = f.launch();
    QCOMPARE(m->dailyGoalMinutes(), StatsManager::kDefaultDailyGoalMinutes);
    QCOMPARE(StatsManager::kDefaultDailyGoalMinutes, 120);
    QVERIFY(m->sessions().isEmpty());
    QVERIFY(QDir(f.files.storage.directory()).isEmpty());
}

void TestStatsManager::goalFiles_data() {
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<qint64>("goal");
    QTest::addColumn<bool>("reported");
    QTest::newRow("plain") << QByteArray("45") << 45ll << false;
    QTest::newRow("zero") << QByteArray("0") << 0ll << false;
    QTest::newRow("negative") << QByteArray("-30") << -30ll << false;
    QTest::newRow("exponent") << QByteArray("1e2") << 100ll << false;
    QTest::newRow("whole with point") << QByteArray("480.0") << 480ll << false;
    QTest::newRow("largest") << QByteArray("9223372036854775807") << kMax << false;
    QTest::newRow("smallest") << QByteArray("-9223372036854775808") << kMin << false;
    QTest::newRow("fraction") << QByteArray("30.5") << 120ll << true;
    QTest::newRow("beyond 64 bits") << QByteArray("9223372036854775808") << 120ll << true;
    QTest::newRow("huge") << QByteArray("1e300") << 120ll << true;
    QTest::newRow("too large to read") << QByteArray("1e400") << 120ll << true;
    QTest::newRow("text") << QByteArray("\"90\"") << 120ll << true;
    QTest::newRow("boolean") << QByteArray("true") << 120ll << true;
    QTest::newRow("null") << QByteArray("null") << 120ll << true;
    QTest::newRow("array") << QByteArray("[60]") << 120ll << true;
    QTest::newRow("empty") << QByteArray("") << 120ll << true;
    QTest::newRow("garbage") << QByteArray("sixty") << 120ll << true;
}

void TestStatsManager::goalFiles() {
    QFETCH(QByteArray, content);
    QFETCH(qint64, goal);
    QFETCH(bool, reported);
    Fixture f;
    f.files.write(kDailyGoalFile, content);
    StdoutCapture out;
    const auto m = f.launch();
    const QString printed = out.text();
    QCOMPARE(m->dailyGoalMinutes(), goal);
    QCOMPARE(printed.startsWith("StorageManager load error: "), reported);
    QCOMPARE(f.files.read(kDailyGoalFile), content);
    QCOMPARE(f.keptCopies().size(), reported ? 1 : 0);
    m->logSession(at(kToday, 3000));
    QVERIFY(m->dailyGoalProgress() >= 0.0 && m->dailyGoalProgress() <= 1.0);
}

void TestStatsManager::goalAssignmentAlwaysWrites() {
    Fixture f;
    const auto m = f.launch();
    QSignalSpy goalSpy(m.get(), &StatsManager::dailyGoalMinutesChanged);
    QSignalSpy figuresSpy(m.get(), &StatsManager::figuresChanged);
    m->setDailyGoalMinutes(120);
    QCOMPARE(f.files.read(kDailyGoalFile), QByteArray("120"));
    QVERIFY(QFile::remove(f.files.path(kDailyGoalFile)));
    m->setDailyGoalMinutes(120);
    QCOMPARE(f.files.read(kDailyGoalFile), QByteArray("120"));
    QCOMPARE(goalSpy.count(), 0);
    // The route the views take.
    QVERIFY(m->setProperty("dailyGoalMinutes", 480));
    QCOMPARE(f.files.read(kDailyGoalFile), QByteArray("480"));
    QCOMPARE(goalSpy.count(), 1);
    QCOMPARE(figuresSpy.count(), 1);
}

void TestStatsManager::goalExtremesSurviveRestart_data() {
    QTest::addColumn<qint64>("goal");
    for (const qint64 goal : {kMax, kMin, (qint64(1) << 53) + 1, qint64(-1), qint64(0)})
        QTest::addRow("%lld", goal) << goal;
}

void TestStatsManager::goalExtremesSurviveRestart() {
    QFETCH(qint64, goal);
    Fixture f;
    f.launch()->setDailyGoalMinutes(goal);
    QCOMPARE(f.files.read(kDailyGoalFile), QByteArray::number(goal));
    QCOMPARE(f.launch()->dailyGoalMinutes(), goal);
}

void TestStatsManager::logSessionAppendsThenWritesThenTells() {
    Fixture f;
    const auto m = f.launch();
    QList<qsizetype> storedWhenTold;
    connect(m.get(), &StatsManager::sessionsChanged, this,
            [&] { storedWhenTold << f.stored().value_or(QList<FocusSession>{}).size(); });
    QSignalSpy figuresSpy(m.get(), &StatsManager::figuresChanged);
    FocusSession a = at("2024-05-15T09:00:00", 1500);
    a.taskLabel = QStringLiteral("Write");
    const FocusSession b = at("2024-05-15T09:25:00", 300, true, SessionType::ShortBreak);
    const FocusSession c = at("2024-05-15T09:30:00", 200, false);
    for (const FocusSession& s : {a, b, c}) QVERIFY(m->logSession(s));
    QCOMPARE(m->sessions(), (QList<FocusSession>{a, b, c}));
    QCOMPARE(f.stored(), std::optional(m->sessions()));
    QCOMPARE(storedWhenTold, (QList<qsizetype>{1, 2, 3}));
    QCOMPARE(figuresSpy.count(), 3);
    QCOMPARE(m->todaySessions(), (QList<FocusSession>{a, c}));
    QCOMPARE(QJsonDocument::fromJson(f.files.read(kFocusSessionsFile)).array().size(), 3);
}

void TestStatsManager::historyFromElsewhereIsExtended_data() {
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<int>("count");
    QTest::newRow("spaced empty") << QByteArray("[ \n]\n") << 0;
    QTest::newRow("other writer")
        << QByteArray(R"([ {"completed": true, "endedAt": null, "focusDuration": 1500,)"
                      R"( "id": "6f1c2a3b-4d5e-4f60-8172-839a4b5c6d7e", "note": [1, {}],)"
                      R"( "startedAt": 737445600.25, "taskLabel": null, "type": "focus"},)"
                      "\n"
                      R"( {"id":"00000000-0000-0000-0000-000000000001","startedAt":1,)"
                      R"("focusDuration":2,"type":"longBreak","completed":false} ]  )"
                      "\n")
        << 2;
    QTest::newRow("left to the general reader")
        << QByteArray(R"([{"id":"6F1C2A3B-4D5E-4F60-8172-839A4B5C6D7E","startedAt":1.,)"
                      R"("focusDuration":3,"type":"focus","completed":true}])")
        << 1;
}

void TestStatsManager::historyFromElsewhereIsExtended() {
    QFETCH(QByteArray, content);
    QFETCH(int, count);
    Fixture f;
    f.files.write(kFocusSessionsFile, content);
    const auto m = f.launch();
    QCOMPARE(m->sessions().size(), count);
    QCOMPARE(f.files.read(kFocusSessionsFile), content);
    QVERIFY(m->logSession(at(kToday, 60)));
    QCOMPARE(m->sessions().size(), count + 1);
    QCOMPARE(f.stored(), std::optional(m->sessions()));
    QCOMPARE(f.launch()->sessions(), m->sessions());
}

void TestStatsManager::unreadableHistory_data() {
    QTest::addColumn<QByteArray>("content");
    const QByteArray good = R"({"id":"6F1C2A3B-4D5E-4F60-8172-839A4B5C6D7E","startedAt":1,)"
                            R"("focusDuration":1500,"type":"focus","completed":true})";
    QTest::newRow("not json") << QByteArray("not json");
    QTest::newRow("one bad type") << "[" + good + "," +
                                         QByteArray(good).replace("focus\"", "nap\"") + "]";
    QTest::newRow("missing completed")
        << "[" + QByteArray(good).replace(",\"completed\":true", "") + "]";
    QTest::newRow("truncated") << "[" + good.left(40);
    QTest::newRow("object") << good;
}

void TestStatsManager::unreadableHistory() {
    QFETCH(QByteArray, content);
    Fixture f;
    f.files.write(kFocusSessionsFile, content);
    QString printed;
    std::unique_ptr<StatsManager> m;
    {
        StdoutCapture out;
        m = f.launch();
        printed = out.text();
    }
    QVERIFY(m->sessions().isEmpty());
    QCOMPARE(m->totalFocusMinutes(), 0);
    QVERIFY(printed.startsWith("StorageManager load error: "));
    QCOMPARE(f.files.read(kFocusSessionsFile), content);
    const QStringList copies = f.keptCopies();
    QCOMPARE(copies.size(), 1);
    // The next record replaces the file; what it held stays in the copy.
    const FocusSession s = at(kToday, 60);
    QVERIFY(m->logSession(s));
    QCOMPARE(f.stored(), std::optional(QList<FocusSession>{s}));
    QCOMPARE(f.files.read(copies.first()), content);
}

void TestStatsManager::failedWriteKeepsRecordForNextWrite() {
    Fixture f;
    const auto m = f.launch();
    const FocusSession a = at(kToday, 60);
    const FocusSession b = at(kToday, 120);
    QVERIFY(m->logSession(a));
    // A folder in the file's place makes the atomic rewrite fail.
    QVERIFY(QFile::remove(f.files.path(kFocusSessionsFile)));
    QVERIFY(QDir().mkdir(f.files.path(kFocusSessionsFile)));
    {
        StdoutCapture out;
        QVERIFY(m->logSession(b));
        QVERIFY(out.text().startsWith("StorageManager save error: "));
    }
    QCOMPARE(m->sessions(), (QList<FocusSession>{a, b}));
    QCOMPARE(m->todayFocusMinutes(), 3);
    QVERIFY(QDir().rmdir(f.files.path(kFocusSessionsFile)));
    const FocusSession c = at(kToday, 180);
    QVERIFY(m->logSession(c));
    QCOMPARE(f.stored(), std::optional(QList<FocusSession>{a, b, c}));
}

void TestStatsManager::refusesRecordsWithoutJsonForm_data() {
    QTest::addColumn<FocusSession>("session");
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    FocusSession s = at(kToday, 60);
    s.startedAt = nan;
    QTest::newRow("start") << s;
    s = at(kToday, 60);
    s.focusDuration = inf;
    QTest::newRow("length") << s;
    s = at(kToday, 60);
    s.endedAt = -inf;
    QTest::newRow("end") << s;
}

void TestStatsManager::refusesRecordsWithoutJsonForm() {
    QFETCH(FocusSession, session);
    Fixture f;
    const auto m = f.launch();
    QVERIFY(m->logSession(at(kToday, 60)));
    const QByteArray before = f.files.read(kFocusSessionsFile);
    QSignalSpy spy(m.get(), &StatsManager::sessionsChanged);
    StdoutCapture out;
    QVERIFY(!m->logSession(session));
    QVERIFY(out.text().startsWith("StatsManager error: "));
    QCOMPARE(m->sessions().size(), 1);
    QCOMPARE(spy.count(), 0);
    QCOMPARE(f.files.read(kFocusSessionsFile), before);
}

void TestStatsManager::hugeSumsSaturate() {
    Fixture f;
    const auto m = f.launch();
    m->logSession(at(kToday, 1e308));
    m->logSession(at(kToday, 1e308));
    QCOMPARE(m->totalFocusMinutes(), kMax);
    QCOMPARE(m->todayFocusMinutes(), kMax);
    QCOMPARE(m->dailyGoalProgress(), 1.0);
    Fixture g;
    const auto n = g.launch();
    n->logSession(at(kToday, -1e308));
    n->logSession(at(kToday, -1e308));
    QCOMPARE(n->todayFocusMinutes(), kMin);
    QCOMPARE(n->dailyGoalProgress(), 0.0);
}

void TestStatsManager::figuresFollowMidnight() {
    Fixture f;
    f.time = ManualTime(localTime(QStringLiteral("2024-05-18T23:58:00")));  // Saturday
    const auto m = f.launch();
    m->logSession(at("2024-05-18T23:30:00", 1500));
    QSignalSpy spy(m.get(), &StatsManager::figuresChanged);
    m->refreshPeriods();
    QCOMPARE(spy.count(), 0);
    QCOMPARE(m->todayFocusBlocks(), 1);
    QCOMPARE(m->weekFocusBlocks(), 1);
    f.time.advance(180);  // Sunday: a new day and, for en_US, a new week
    QCOMPARE(m->todayFocusBlocks(), 0);
    QCOMPARE(m->weekFocusBlocks(), 0);
    m->logSession(at("2024-05-19T00:00:30", 600));
    QCOMPARE(m->todayFocusMinutes(), 10);
    spy.clear();
    f.time.shiftWallClock(-3600);  // the clock is set back into Saturday
    m->refreshPeriods();
    QCOMPARE(spy.count(), 1);
    QCOMPARE(m->todayFocusMinutes(), 25);
    QCOMPARE(m->weekFocusBlocks(), 2);
    m->refreshPeriods();
    QCOMPARE(spy.count(), 1);
}

void TestStatsManager::keptFiguresEqualAFreshLoad() {
    Fixture f;
    const auto m = f.launch();
    QRandomGenerator random(20240515);
    const SessionType types[] = {SessionType::Focus, SessionType::ShortBreak,
                                 SessionType::LongBreak};
    for (int i = 1; i <= 150; ++i) {
        f.time.advance(random.bounded(9 * 3600));  // crosses days and weeks
        FocusSession s =
            record(f.time.now() - random.bounded(6000.0) + (random.bounded(8) == 0 ? 5 * 86400 : 0),
                   random.bounded(3000.0), random.bounded(4) > 0, types[random.bounded(3)]);
        QVERIFY(m->logSession(s));
        if (i % 3 == 0) (void)m->todayFocusMinutes();  // figures kept between records
        if (i % 15 != 0) continue;
        const auto fresh = f.launch();
        QCOMPARE(m->todaySessions(), fresh->todaySessions());
        QCOMPARE(m->thisWeekSessions(), fresh->thisWeekSessions());
        QCOMPARE(m->todayFocusMinutes(), fresh->todayFocusMinutes());
        QCOMPARE(m->todayFocusBlocks(), fresh->todayFocusBlocks());
        QCOMPARE(m->weekFocusBlocks(), fresh->weekFocusBlocks());
        QCOMPARE(m->totalFocusMinutes(), fresh->totalFocusMinutes());
        QCOMPARE(m->dailyGoalProgress(), fresh->dailyGoalProgress());
    }
    QVERIFY(m->totalFocusMinutes() > 0);
}

QTEST_GUILESS_MAIN(TestStatsManager)
#include "tst_statsmanager.moc"
