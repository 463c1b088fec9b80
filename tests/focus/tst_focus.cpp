// Focus records and statistics. Registered once per time zone and locale: the day and week rows
// are local wall-clock times, valid in every zone, that meet the 23- and 25-hour days.
#include <QDir>
#include <QSignalSpy>
#include <QTest>
#include <cmath>
#include <limits>

#include "engine/SoundManager.h"
#include "focus/DailyGoal.h"
#include "focus/FocusCycle.h"
#include "focus/SessionExport.h"
#include "focus/SessionListJson.h"
#include "focus/StatsChart.h"
#include "focus/StatsManager.h"
#include "focus/StrictJsonScanner.h"
#include "support/FakeAudioPlayer.h"
#include "support/ManualTime.h"
#include "support/RecordingNotifier.h"
#include "support/StdoutCapture.h"
#include "support/TempStorage.h"
#include "support/TextRows.h"

using namespace larkspur;
using namespace larkspur::test;
using Sessions = QList<FocusSession>;
using Figures = QList<qint64>;  // today's minutes and blocks, week's blocks, total, listed

namespace {

constexpr qint64 kMax = std::numeric_limits<qint64>::max();
constexpr qint64 kMin = std::numeric_limits<qint64>::min();
constexpr double kInf = std::numeric_limits<double>::infinity();
const QByteArray kRecord = R"({"id":"6F1C2A3B-4D5E-4F60-8172-839A4B5C6D7E","startedAt":1.5,)"
                           R"("focusDuration":1500,"type":"focus","completed":true})";

double localTime(const char* iso) {
    const QDateTime t = QDateTime::fromString(QString::fromLatin1(iso), Qt::ISODate);
    return clockReadingOf(t);
}

FocusSession at(const char* local, double seconds, bool completed = true,
                SessionType type = SessionType::Focus) {
    const double start = localTime(local);
    return {QUuid::createUuid(), {}, start, start + seconds, seconds, type, completed};
}

QByteArray withRecord(const char* from, const char* to) {
    return "[" + QByteArray(kRecord).replace(from, to) + "]";
}

// One value as the scanner reads it: "!" when refused, with "+" when text follows.
QString scan(char kind, const QByteArray& text) {
    StrictJsonScanner in(text);
    QString value;
    double n = 0;
    QByteArrayView view;
    bool ok = kind == 'k' ? in.skipValue() : kind == 's' ? in.readString(&value) : false;
    if (kind == 'n' && (ok = in.readNumber(&n)))
        value = (std::signbit(n) ? "-" : "") + QString::number(std::abs(n), 'g', 17);
    if (kind == 'p' || kind == 'u') {
        ok = kind == 'p' ? in.readPlainString(&view) : in.readUnescapedString(&view);
        value = QString::fromUtf8(view);
    }
    return !ok ? "!" : in.atEnd() ? value : value + "+";
}

struct Stats {
    TempStorage files;
    ManualTime time{localTime("2024-05-15T12:00:00")};  // Wednesday; en_US weeks start Sunday

    std::unique_ptr<StatsManager> launch() {
        return std::make_unique<StatsManager>(files.storage, time, QLocale("en_US"));
    }
    QByteArray history() const { return files.read("focus-sessions.json"); }
};

// Runs a focus cycle through `script`: "play", "skip", "reset", "shown" (a view shows it), "+N"
// (time passes), "zN" (the wall clock alone moves, then the cycle is woken), "cfg:F,S,L,N,B,A"
// (lengths, sessions, automatic breaks and focus), "task:X". Logged: the phase, session and
// state after each step that changed them ("S1r": short break, session 1, running), "!" for a
// chime, each record as "[F25c]" (type, minutes or seconds, completed or skipped; then "<" when
// it started before it last ran on, as after a pause), "@" a notification, "?" the shown time.
QString cycle(const QString& script) {
    Stats s;
    RecordingNotifier notifier;
    FakePlayers players;
    SoundManager sounds{s.files.storage, players.factory()};
    auto stats = s.launch();
    FocusCycle c(s.files.storage, s.time, s.time, *stats, sounds, notifier);
    QStringList log;
    QString last;
    QObject::connect(stats.get(), &StatsManager::sessionsChanged, [&] {
        const FocusSession& r = stats->sessions().constLast();
        const bool minutes = std::fmod(r.focusDuration, 60) == 0 && r.focusDuration > 0;
        log << QStringLiteral("[%1%2%3%4]")
                       .arg("FSL"[int(r.type)])
                       .arg(minutes ? r.focusDuration / 60 : r.focusDuration)
                       .arg(minutes ? "" : "s")
                       .arg(r.completed ? "c" : "s") +
                   (r.endedAt.value_or(0) - r.startedAt > r.focusDuration + 1e-9 ? "<" : "");
    });
    for (const QString& step : script.split(' ')) {
        const auto [players0, notes0] = std::pair(players.count(), notifier.posted.size());
        if (step == "play") c.toggleTimer();
        if (step == "skip") c.skipPhase();
        if (step == "reset") c.resetAll();
        if (step == "shown") c.setViewsVisible(true);
        if (step == "?") log << c.displayTime();
        if (step[0] == '+') s.time.advance(step.mid(1).toDouble());
        if (step[0] == 'z') s.time.shiftWallClock(step.mid(1).toDouble()), c.reevaluate();
        if (step.startsWith("task:")) c.setTaskLabel(step.mid(5));
        if (step.startsWith("cfg:")) {
            const QStringList v = step.mid(4).split(',');
            c.applyConfig({v[0].toDouble(), v[1].toDouble(), v[2].toDouble(), v[3].toLongLong(),
                           v[4] == "1", v[5] == "1"});
        }
        if (players.count() > players0) log << "!";
        if (notifier.posted.size() > notes0) log << "@" + notifier.posted.constLast().title;
        const QString now = QStringLiteral("%1%2%3")
                                .arg("FSL"[int(c.currentPhase())])
                                .arg(c.currentSession())
                                .arg("irpc"[int(c.timerState())]);
        if (now != std::exchange(last, now)) log << now;
    }
    return log.join(' ');
}

Figures figuresOf(const StatsManager& m) {
    return {m.todayFocusMinutes(), m.todayFocusBlocks(),     m.weekFocusBlocks(),
            m.totalFocusMinutes(), m.todaySessions().size(), m.thisWeekSessions().size()};
}

}  // namespace

class TestFocus : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void chart();
    void cycle_data();
    void cycle();
    void scanner_data();
    void scanner();
    void historyFiles_data();
    void historyFiles();
    void writer();
    void figures_data();
    void figures();
    void periods_data();
    void periods();
    void exportRows_data();
    void exportRows();
    void exportDays_data();
    void exportDays();
};

// The chart's seven days around New York's and Berlin's spring change of clocks, in two locales:
// only completed focus records count, each truncated to whole minutes on its own. The recent list
// is the newest five focus records, equal starts in stored order.
void TestFocus::chart() {
    for (const char* now : {"2024-03-12T12:00:00", "2024-04-02T12:00:00"}) {
        const QDateTime noon = QDateTime::fromString(QString::fromLatin1(now), Qt::ISODate);
        const auto day = [&](int back, double seconds, bool done = true,
                             SessionType type = SessionType::Focus) {
            const double start = clockReadingOf(noon.addDays(-back).addSecs(-11 * 3600));
            return FocusSession{
                QUuid::createUuid(), {}, start, start + seconds, seconds, type, done};
        };
        const Sessions all{day(0, 50),
                           day(0, 50),
                           day(0, 50),
                           day(0, 1800),
                           day(0, 300, true, SessionType::ShortBreak),
                           day(1, 61),
                           day(6, 90, false),
                           day(6, 600),
                           day(7, 600)};
        for (const char* locale : {"en_US", "de_DE"}) {
            QStringList shown;
            for (const DayMinutes& d : lastSevenDays(all, clockReadingOf(noon), QLocale(locale)))
                shown << d.label + QString::number(d.minutes);
            QCOMPARE(shown.join(' '), locale[0] == 'e' ? "Wed10 Thu0 Fri0 Sat0 Sun0 Mon1 Tue30"
                                                       : "Mi.10 Do.0 Fr.0 Sa.0 So.0 Mo.1 Di.30");
        }
        const Sessions recent = recentFocusSessions(all);
        QCOMPARE(recent, (Sessions{all[0], all[1], all[2], all[3], all[5]}));
    }
}

void TestFocus::cycle_data() {
    // script | what happened
    addTextRows(
        {"cfg:1500,300,900,2,1,0 play +1500 +1 +300 +1 play ? play +1500 +1 +900 play | F1i F1r "
         "[F25c] ! @Focus complete F1c S1r [S5c] ! @Short break is over S1c F2i 25:00 F2r [F25c] ! "
         "@Focus complete F2c L2r [L15c] ! @Long break is over L2c F1i",
         "cfg:60,30,90,1,1,1 play +60 +1 +90 +1 | F1i F1r [F1c] ! @Focus complete F1c L1r [L90sc] "
         "! @Long break is over L1c F1r",
         "skip | [F0ss] S1r",
         "play +746 play ? +100 play +754 | F1r F1p 12:34 F1r [F25c]< ! @Focus complete F1c",
         "play +100 cfg:600,300,900,4,1,0 ? +599 ? +1 | F1r 10:00 00:01 [F10c]< ! @Focus complete "
         "F1c",
         "play +1500 play +1 +1 | F1r [F25c] ! @Focus complete F1c S1r",
         "play +100 z2000 ? | F1r [F25c] ! @Focus complete F1c 00:00",
         "shown play +1499.95 ? +0.05 | F1i F1r 00:01 [F25c] ! F1c",
         "play +10 reset +2000 | F1r F1i",
         "cfg:-5,nan,inf,0,0,0 ? play +1500 +1 play | F1i 25:00 F1r [F25c] ! @Focus complete F1c "
         "L1i"});
}

void TestFocus::cycle() {
    const QStringList parts = textRowFields();
    QCOMPARE(::cycle(parts[0]), parts[1]);
}

void TestFocus::scanner_data() {
    QTest::addColumn<char>("kind");
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QString>("read");
    auto row = [](char kind, const QByteArray& text, const char* read) {
        QTest::addRow("%c %s", kind, text.toPercentEncoding().left(30).constData())
            << kind << text << QString::fromUtf8(read);
    };
    row('n', " \t\r\n1 ", "1");
    row('u', "\"é€😀\xc2\x80\xf4\x8f\xbf\xbf\xee\x80\x80\"",
        "é€😀\xc2\x80\xf4\x8f\xbf\xbf\xee\x80\x80");
    row('s', R"("a b\"\\\/\b\f\n\r\t")", "a b\"\\/\b\f\n\r\t");
    row('s', R"("\u0039\u004a\u004F\u006f\u00A9")", "9JOo\u00a9");
    row('s', "\"\\ud83d\\ude00\xc3\xa9\"", "😀é");
    // A U+FEFF after an escape is a character of the text, as the general reader keeps it.
    row('s', "\"a\\n\xef\xbb\xbf" "b\"", "a\n\xef\xbb\xbf" "b");
    row('k', R"( [ 1 , {"a" : null , "b\n" : [true,false,"x"]} , {} , [] ] )", "");
    // The kind, then the text: n(umber) p(lain string) k(skipped value).
    const char* rows[][2] = {
        {"n-19.25", "-19.25"}, {"n012", "0+"},         {"n12x", "12+"},     {"n1E+2", "100"},
        {"n25e-1", "2.5"},     {"n-0", "0"},           {"n-0.0", "-0"},     {"n-0e0", "-0"},
        {"n-", "!"},           {"n1.", "!"},           {"n1.x", "!"},       {"n1e+", "!"},
        {"n1e400", "!"},       {"p \"a b~\"", "a b~"}, {"p\"ab\"x", "ab+"}, {"p\"a\\n\"", "!"},
        {"p\"a\x1f\"", "!"},   {"p\"\xc3\xa9\"", "!"}, {"p\"ab", "!"},      {"pab", "!"}};
    const char* skips[][2] = {{"k-1.5e3 x", "+"}, {"k[1,]", "!"},      {"k{\"a\":1,}", "!"},
                              {"k{1:2}", "!"},    {"k{\"a\" 1}", "!"}, {"k[1 2]", "!"},
                              {"ktrux", "!"},     {"knul", "!"},       {"k", "!"}};
    for (const auto& [text, read] : rows) row(*text, text + 1, read);
    for (const auto& [text, read] : skips) row(*text, text + 1, read);
    for (const char* text : {"\"\x80\"", "\"\xc0\xaf\"", "\"\xc1\xbf\"", "\"\xed\xa0\x80\"",
                             "\"\xed\xbf\xbf\"", "\"\xf4\x90\x80\x80\"", "\"\xc3(\""})
        row('u', text, "!");
    for (const char* text :
         {R"("\u12G4")", R"("\u12")", R"("\x")", R"("\udc00")", R"("\ud83dx")", R"("\ud83d\n")",
          R"("\ud83d\u0041")", "\"\xc0\xaf\"", "\"a\x01\"", "\"ab", "ab"})
        row('s', text, "!");
    // The deepest nesting taken is 64.
    for (const auto& [open, close] : {std::pair{"[", "]"}, std::pair{"{\"a\":", "}"}}) {
        row('k', QByteArray(open).repeated(64) + "1" + QByteArray(close).repeated(64), "");
        row('k', QByteArray(open).repeated(65) + "1" + QByteArray(close).repeated(65), "!");
    }
}

void TestFocus::scanner() {
    QFETCH(char, kind);
    QFETCH(QByteArray, text);
    QTEST(scan(kind, text), "read");
}

void TestFocus::historyFiles_data() {
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<bool>("quick");  // read by the list reader itself, so extended in place
    QTest::addColumn<int>("count");   // records read; -1: unreadable, reported and kept aside
    const QByteArray labelled = QByteArray(kRecord).replace(
        "\"start", R"("taskLabel":"Tea","x":[1,{"b":null}],"endedAt":2,"start)");
    QTest::newRow("many forms")
        << "[ " + labelled + " ,\n" + labelled + ",\t{ \"type\" : \"longBreak\",\"completed\":" +
               R"(false,"focusDuration":0.5,"taskLabel":null,"endedAt":null,"startedAt":-3,)" +
               R"("id":"6f1c2a3b-4d5e-4f60-8172-839a4b5c6d7e"},)" +
               QByteArray(kRecord).replace("focus\"", "shortBreak\"").replace("1.5", "1.5E3") +
               "," + withRecord("\"type\"", R"("taskLabel":"a\"\u00e9","type")").mid(1) +
               "\t\r \n\n"
        << true << 5;
    QTest::newRow("spaced empty") << QByteArray(" [ \n ] \r\n") << true << 0;
    // Unusual forms go to the general reader, whose verdict stands.
    QTest::newRow("duplicate key")
        << withRecord("\"type\"", "\"completed\":false,\"type\"") << false << 1;
    QTest::newRow("no colon") << withRecord("\"type\":", "\"type\"") << false << -1;
    QTest::newRow("unknown type") << withRecord("\"focus\"", "\"nap\"") << false << -1;
    QTest::newRow("text flag") << withRecord(":true", ":\"true\"") << false << -1;
    QTest::newRow("short id") << withRecord("7E\"", "7\"") << false << -1;
    QTest::newRow("trailing comma") << "[" + kRecord + ",]" << false << -1;
}

void TestFocus::historyFiles() {
    QFETCH(QByteArray, content);
    QFETCH(bool, quick);
    QFETCH(int, count);
    QCOMPARE(sessionlist::decode(content).has_value(), quick);
    Stats f;
    f.files.write("focus-sessions.json", content);
    StdoutCapture out;
    const auto m = f.launch();
    QCOMPARE(m->sessions().size(), std::max(count, 0));
    if (quick) QCOMPARE(m->sessions(), JsonCodecFor<Sessions>::decode(json::parse(content)));
    QCOMPARE(out.text().startsWith("StorageManager load error: "), count < 0);
    const FocusSession s = at("2024-05-15T11:00:00", 60);
    QVERIFY(m->logSession(s));
    QByteArray record;
    sessionlist::appendRecord(record, s);
    QCOMPARE(f.history(), quick && count > 0 ? content.trimmed().chopped(1) + "," + record + "]"
                                             : sessionlist::encode(m->sessions()));
    QCOMPARE(f.launch()->sessions(), m->sessions());
    // What could not be read stays in a copy beside the new file.
    const QStringList copies = QDir(f.files.storage.directory()).entryList({"*.unreadable-*"});
    QCOMPARE(copies.size(), count < 0 ? 1 : 0);
    if (count < 0) QCOMPARE(f.files.read(copies.first()), content);
}

void TestFocus::writer() {
    const QString label = QStringLiteral("a \"\\\b\f\n\r\t\x01\x1f\u00e9/");
    const FocusSession a{QUuid(kRecord.mid(7, 36)), label, 1.5, -2e-7, 1500,
                         SessionType::ShortBreak,   false};
    FocusSession b{QUuid(), {}, 1e300, {}, 60, SessionType::LongBreak, true};
    const QByteArray textA = R"({"id":"6F1C2A3B-4D5E-4F60-8172-839A4B5C6D7E","taskLabel":)"
                             R"("a \"\\\b\f\n\r\t\u0001\u001fé/","startedAt":1.5,"endedAt":-2e-07,)"
                             R"("focusDuration":1500,"type":"shortBreak","completed":false})";
    const QByteArray textB = R"({"id":"00000000-0000-0000-0000-000000000000","startedAt":1e+300,)"
                             R"("focusDuration":60,"type":"longBreak","completed":true})";
    QByteArray list = sessionlist::encode({});
    sessionlist::appendToArray(list, a);
    sessionlist::appendToArray(list, b);
    QCOMPARE(list, "[" + textA + "," + textB + "]");
    QCOMPARE(sessionlist::encode({a, b}), list);
    QCOMPARE(sessionlist::decode(list), Sessions({a, b}));
    QCOMPARE(sessionlist::decode(json::serialize(JsonCodecFor<Sessions>::encode({a, b}))),
             Sessions({a, b}));
    b.startedAt = std::nan("");
    QByteArray nan;
    sessionlist::appendRecord(nan, b);
    QVERIFY(nan.contains(R"("startedAt":null,)"));
    // Whole minutes, truncated toward zero; beyond the integer range they saturate.
    const double seconds[] = {59.9, 60, -59.9, -60, std::nan(""), 0x1p63 * 60, kInf, -1e300};
    const qint64 minutes[] = {0, 1, 0, -1, 0, kMax, kMax, kMin};
    for (int i = 0; i < 8; ++i) QCOMPARE(wholeMinutes(seconds[i]), minutes[i]);
}

void TestFocus::figures_data() {
    QTest::addColumn<Sessions>("sessions");
    QTest::addColumn<qint64>("goal");
    QTest::addColumn<Figures>("figures");
    QTest::addColumn<double>("progress");
    const char* today = "2024-05-15T11:00:00";
    // Summed, then truncated; breaks never count, skipped phases are only listed.
    Sessions week(3, at(today, 50));
    week << at(today, 600, false) << at(today, 300, true, SessionType::ShortBreak)
         << at(today, 900, true, SessionType::LongBreak) << at("2024-05-12T00:00:00", 1500)
         << at("2024-05-11T23:59:59", 1500) << at("2024-05-14T23:50:00", 1529)
         << at("2024-06-20T09:00:00", 1500);
    QTest::newRow("none") << Sessions{} << 120ll << Figures(6, 0) << 0.0;
    QTest::newRow("a week") << week << 120ll << Figures{2, 3, 6, 102, 4, 7} << 2.0 / 120;
    QTest::newRow("huge sums saturate")
        << Sessions(2, at(today, 1e308)) << 120ll << Figures{kMax, 2, 2, kMax, 2, 2} << 1.0;
    QTest::newRow("huge negative sums")
        << Sessions(2, at(today, -1e308)) << 120ll << Figures{kMin, 2, 2, kMin, 2, 2} << 0.0;
    // Goals are kept as given, written as exact integers, and read back.
    for (const qint64 goal : {qint64(0), qint64(1), (qint64(1) << 53) + 1, kMax, kMin})
        QTest::addRow("goal %lld", goal)
            << Sessions{at(today, 1500)} << goal << Figures{25, 1, 1, 25, 1, 1}
            << (goal < 1 ? 0.0 : std::min(1.0, 25.0 / double(goal)));
}

void TestFocus::figures() {
    QFETCH(Sessions, sessions);
    QFETCH(qint64, goal);
    Stats f;
    f.files.write("daily-goal.json", "30.5");  // unreadable: the default goal stands
    StdoutCapture out;
    auto logged = f.launch();
    QVERIFY(out.text().startsWith("StorageManager load error: "));
    QCOMPARE(logged->dailyGoalMinutes(), 120);
    QCOMPARE(figuresOf(*logged), Figures(6, 0));  // taken before the records, then kept up
    QSignalSpy goalSpy(logged.get(), &StatsManager::dailyGoalMinutesChanged);
    QSignalSpy sessionsSpy(logged.get(), &StatsManager::sessionsChanged);
    QSignalSpy figuresSpy(logged.get(), &StatsManager::figuresChanged);
    logged->setDailyGoalMinutes(goal);  // written even when unchanged
    QCOMPARE(f.files.read("daily-goal.json"), QByteArray::number(goal));
    for (const FocusSession& s : sessions) QVERIFY(logged->logSession(s));
    // Times without a JSON form would spoil the whole file.
    const QByteArray history = f.history();
    Sessions bad(3, sessions.value(0));
    bad[0].startedAt = std::nan("");
    bad[1].focusDuration = kInf;
    bad[2].endedAt = -kInf;
    for (const FocusSession& s : bad) QVERIFY(!logged->logSession(s));
    QCOMPARE(out.text().count("StatsManager error: "), 3);
    QCOMPARE(f.history(), history);
    const qsizetype changed = goal != 120, logs = sessions.size();
    QCOMPARE((QList{goalSpy.count(), sessionsSpy.count(), figuresSpy.count()}),
             (QList{changed, logs, logs + changed}));
    const auto loaded = f.launch();
    for (StatsManager* m : {logged.get(), loaded.get()}) {
        QCOMPARE(m->sessions(), sessions);
        QCOMPARE(m->dailyGoalMinutes(), goal);
        QTEST(figuresOf(*m), "figures");
        QTEST(m->dailyGoalProgress(), "progress");
    }
    f.time = ManualTime(1e300);  // a clock no calendar can place
    QCOMPARE(figuresOf(*loaded).mid(0, 3), Figures(3, 0));
}

void TestFocus::periods_data() {
    QTest::addColumn<QByteArray>("now");
    QTest::addColumn<QByteArray>("start");
    QTest::addColumn<QByteArray>("in");  // today, the week from Sunday (en_US), from Monday (de_DE)
    const char* rows[][4] = {
        {"last instant of today", "2024-05-15T12:00", "2024-05-15T23:59:59.999", "111"},
        {"tomorrow", "2024-05-15T12:00", "2024-05-16T00:00", "011"},
        {"Sunday midnight", "2024-05-15T12:00", "2024-05-12T00:00", "010"},
        {"now on Sunday", "2024-05-19T08:00", "2024-05-18T12:00", "001"},
        // New York: 23 hours on 10 March, 25 on 3 November. Berlin: 31 March and 27 October.
        {"US spring day ends", "2024-03-10T12:00", "2024-03-11T00:30", "011"},
        {"US autumn day late", "2024-11-03T12:00", "2024-11-03T23:30", "111"},
        {"EU spring day ends", "2024-03-31T12:00", "2024-04-01T00:30", "011"},
        {"EU autumn day late", "2024-10-27T12:00", "2024-10-27T23:30", "111"},
        {"EU week over spring", "2024-04-02T12:00", "2024-03-30T23:30", "000"},
        // São Paulo, 4 November 2018: the day began at 01:00, midnight never happened.
        {"day without midnight", "2018-11-04T12:00", "2018-11-04T01:00", "111"},
        {"eve of that day", "2018-11-04T12:00", "2018-11-03T23:59:59", "001"},
    };
    for (const auto& r : rows)
        QTest::newRow(r[0]) << QByteArray(r[1]) << QByteArray(r[2]) << QByteArray(r[3]);
}

void TestFocus::periods() {
    QFETCH(QByteArray, now);
    QFETCH(QByteArray, start);
    QFETCH(QByteArray, in);
    // "": the system locale, from LC_ALL, which differs between the runs.
    for (const char* name : {"en_US", "de_DE", ""}) {
        TempStorage files;
        ManualTime time(localTime(now));
        const auto m = *name ? std::make_unique<StatsManager>(files.storage, time, QLocale(name))
                             : std::make_unique<StatsManager>(files.storage, time);
        const FocusSession s = at(start, 60);
        QVERIFY(m->logSession(s));
        QSignalSpy spy(m.get(), &StatsManager::figuresChanged);
        m->refreshPeriods();  // the first takes the figures, silently
        time.shiftWallClock(86400);
        m->refreshPeriods();
        m->refreshPeriods();
        QCOMPARE(spy.count(), 1);  // views that refresh are told once the day has moved on
        time.shiftWallClock(-86400);
        const bool sunday =
            (*name ? QLocale(name) : QLocale::system()).firstDayOfWeek() == Qt::Sunday;
        QCOMPARE(m->todaySessions(), in[0] == '1' ? Sessions{s} : Sessions{});
        QCOMPARE(m->thisWeekSessions(), in[sunday ? 1 : 2] == '1' ? Sessions{s} : Sessions{});
    }
    QCOMPARE(QLocale("de_DE").firstDayOfWeek(), Qt::Monday);
}

// One record as each export writes it, in the zone its row is for: times carry the offset of
// their own moment, a task is quoted as RFC 4180 asks, durations go to the millisecond.
void TestFocus::exportRows_data() {
    QTest::addColumn<QByteArray>("zone");  // empty: any
    QTest::addColumn<Sessions>("sessions");
    QTest::addColumn<QByteArray>("csv");   // after the header
    QTest::addColumn<QByteArray>("json");  // the object in the array
    // Started at `utc` (null: beyond any calendar), ended `ended` seconds later (0: not known).
    auto record = [](int n, const char* task, const char* utc, double ended, double seconds,
                     SessionType type, bool done) {
        const double start = utc ? localTime(utc) : 1e300;
        return Sessions{{QUuid(QStringLiteral("00000000-0000-4000-8000-00000000000%1").arg(n)),
                         task ? std::optional<QString>(task) : std::nullopt, start,
                         ended ? std::optional(start + ended) : std::nullopt, seconds, type, done}};
    };
    QTest::newRow("Berlin, spring, quoted")
        << QByteArray("Europe/Berlin")
        << record(1, "Write, \"draft\"\nnow", "2026-03-29T00:30:00Z", 3600, 1500,
                  SessionType::Focus, true)
        << QByteArray(
               "00000000-0000-4000-8000-000000000001,focus,\"Write, \"\"draft\"\"\nnow\","
               "2026-03-29T01:30:00+01:00,2026-03-29T03:30:00+02:00,1500,true\r\n")
        << QByteArray(R"({"id":"00000000-0000-4000-8000-000000000001","type":"focus",)"
                      R"("task":"Write, \"draft\"\nnow","started_at":"2026-03-29T01:30:00+01:00",)"
                      R"("ended_at":"2026-03-29T03:30:00+02:00","duration_seconds":1500,)"
                      R"("completed":true})");
    // The hour of 01:00 twice: the second seconds are rounded down, the offset tells them apart.
    QTest::newRow("New York, autumn")
        << QByteArray("America/New_York")
        << record(2, nullptr, "2024-11-03T05:59:59.9Z", 0.5, 746.1234567, SessionType::ShortBreak,
                  false)
        << QByteArray(
               "00000000-0000-4000-8000-000000000002,shortBreak,,2024-11-03T01:59:59-04:00,"
               "2024-11-03T01:00:00-05:00,746.123,false\r\n")
        << QByteArray(
               R"({"id":"00000000-0000-4000-8000-000000000002","type":"shortBreak",)"
               R"("task":null,"started_at":"2024-11-03T01:59:59-04:00","ended_at":)"
               R"("2024-11-03T01:00:00-05:00","duration_seconds":746.123,"completed":false})");
    QTest::newRow("Sao Paulo, a day without midnight")
        << QByteArray("America/Sao_Paulo")
        << record(3, "tab\there\r", "2018-11-04T02:59:59Z", 1, 1, SessionType::LongBreak, true)
        << QByteArray(
               "00000000-0000-4000-8000-000000000003,longBreak,\"tab\there\r\","
               "2018-11-03T23:59:59-03:00,2018-11-04T01:00:00-02:00,1,true\r\n")
        << QByteArray(R"({"id":"00000000-0000-4000-8000-000000000003","type":"longBreak",)"
                      R"("task":"tab\there\r","started_at":"2018-11-03T23:59:59-03:00",)"
                      R"("ended_at":"2018-11-04T01:00:00-02:00","duration_seconds":1,)"
                      R"("completed":true})");
    QTest::newRow("beyond the calendar")  // the record still goes out
        << QByteArray() << record(4, "", nullptr, 0, 1e300, SessionType::Focus, true)
        << QByteArray("00000000-0000-4000-8000-000000000004,focus,,,,1e+300,true\r\n")
        << QByteArray(R"({"id":"00000000-0000-4000-8000-000000000004","type":"focus","task":"",)"
                      R"("started_at":null,"ended_at":null,"duration_seconds":1e+300,)"
                      R"("completed":true})");
    QTest::newRow("none") << QByteArray() << Sessions{} << QByteArray() << QByteArray();
}

void TestFocus::exportRows() {
    QFETCH(QByteArray, zone);
    if (!zone.isEmpty() && qgetenv("TZ") != zone) QSKIP("a row for another zone");
    QFETCH(Sessions, sessions);
    QFETCH(QByteArray, csv);
    QFETCH(QByteArray, json);
    using namespace sessionexport;
    QCOMPARE(render(sessions, Format::Csv),
             "id,type,task,started_at,ended_at,duration_seconds,completed\r\n" + csv);
    QCOMPARE(render(sessions, Format::Json), json.isEmpty() ? "[]\n" : "[\n" + json + "\n]\n");
}

// The records each command line picks by the local day they started on ("!": refused), in every
// zone; New York's 10 March has 23 hours, Berlin's 27 October 25, São Paulo's 4 November 2018
// began at 01:00.
void TestFocus::exportDays_data() {
    // arguments after --export-sessions | records picked | local starts
    const char* marchTenth =
        " | 2024-03-09T23:59:59.999 2024-03-10T00:00:00 2024-03-10T23:59:59.999 "
        "2024-03-11T00:00:00";
    addTextRows({"csv --to 2024-10-27 | 0 | 2024-10-27T23:59:59 2024-10-28T00:00:00",
                 "csv --from 2018-11-04 | 1 | 2018-11-03T23:59:59 2018-11-04T01:00:00",
                 "csv --to 2018-11-03 | 0 | 2018-11-03T23:59:59 2018-11-04T01:00:00"});
    for (const char* pick :
         {"csv --from 2024-03-10 --to 2024-03-10 | 1 2", "csv | 0 1 2 3",
          "json --from 2024-03-10 | 1 2 3", "csv --to 2024-03-10 | 0 1 2",
          "json --from=2024-03-11 --to 2024-03-11 | 3", "csv --from 2024-03-11 --to 2024-03-10 | !",
          "csv --from 2024-02-30 | !", "csv --from 2024-3-10 | !", "csv --to | !", "xml | !",
          "csv --to 2024-03-10 --to 2024-03-11 | !", "csv larkspurhollow://pause | !",
          "csv --export-sessions json | !"})
        QTest::newRow(pick) << QString(pick) + marchTenth;
}

void TestFocus::exportDays() {
    const QStringList parts = textRowFields();
    Sessions all;
    for (const QString& start : parts[2].split(' ')) all << at(qPrintable(start), 60);
    QString error;
    const auto request =
        sessionexport::parseArguments(("--export-sessions " + parts[0]).split(' '), &error);
    QStringList picked;
    for (const FocusSession& s : request ? sessionexport::select(all, *request) : Sessions())
        picked << QString::number(all.indexOf(s));
    QCOMPARE(request ? picked.join(' ') : "!", parts[1]);
    QCOMPARE(error.isEmpty(), request.has_value());
}

QTEST_GUILESS_MAIN(TestFocus)
#include "tst_focus.moc"
