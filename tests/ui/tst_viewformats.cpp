#include <QTest>
#include <cmath>
#include <limits>

#include "ui/Symbols.h"
#include "ui/ViewFormats.h"

using namespace larkspur;

namespace {
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();
}  // namespace

class TestViewFormats : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void activeTitles_data();
    void activeTitles();
    void modes_data();
    void modes();
    void playSymbol_data();
    void playSymbol();
    void twoDigits_data();
    void twoDigits();
    void clockUnits_data();
    void clockUnits();
    void adjustDuration_data();
    void adjustDuration();
    void soundLabel_data();
    void soundLabel();
    void intervalText_data();
    void intervalText();
    void preWarningOptions();
    void pickerEmojis();
};

void TestViewFormats::activeTitles_data() {
    QTest::addColumn<int>("count");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("countText");
    QTest::newRow("none") << 0 << "No Active Timers"
                          << "";
    QTest::newRow("below none") << -1 << "No Active Timers"
                                << "";
    QTest::newRow("one") << 1 << "1 Active Timer"
                         << "1 active";
    QTest::newRow("two") << 2 << "2 Active Timers"
                         << "2 active";
    QTest::newRow("many") << 12 << "12 Active Timers"
                          << "12 active";
}

void TestViewFormats::activeTitles() {
    QFETCH(int, count);
    QFETCH(QString, title);
    QFETCH(QString, countText);
    QCOMPARE(ViewFormats::activeTimersTitle(count), title);
    QCOMPARE(ViewFormats::activeCountText(count), countText);
}

void TestViewFormats::modes_data() {
    QTest::addColumn<TimerMode>("mode");
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("symbol");
    QTest::addColumn<QString>("sheetSymbol");
    QTest::newRow("countdown") << TimerMode::Countdown << "Countdown"
                               << "timer"
                               << "timer";
    QTest::newRow("stopwatch") << TimerMode::Stopwatch << "Stopwatch"
                               << "stopwatch"
                               << "stopwatch";
    QTest::newRow("loop") << TimerMode::Loop << "Loop"
                          << "repeat"
                          << "repeat";
    QTest::newRow("end time") << TimerMode::EndTime << "End Time"
                              << "clock"
                              << "clock.badge.checkmark";
}

void TestViewFormats::modes() {
    QFETCH(TimerMode, mode);
    QFETCH(QString, label);
    QFETCH(QString, symbol);
    QFETCH(QString, sheetSymbol);
    QCOMPARE(ViewFormats::modeLabel(mode), label);
    QCOMPARE(ViewFormats::modeSymbol(mode), symbol);
    QCOMPARE(ViewFormats::sheetModeSymbol(mode), sheetSymbol);
    // A symbol without a glyph would show as a blank space.
    QVERIFY(!Symbols::glyph(symbol).isEmpty());
    QVERIFY(!Symbols::glyph(sheetSymbol).isEmpty());
}

void TestViewFormats::playSymbol_data() {
    QTest::addColumn<TimerState>("state");
    QTest::addColumn<QString>("symbol");
    QTest::addColumn<QString>("named");
    QTest::addColumn<QString>("unnamed");
    QTest::newRow("idle") << TimerState::Idle << "play.fill"
                          << "Start Tea"
                          << "Start timer";
    QTest::newRow("running") << TimerState::Running << "pause.fill"
                             << "Pause Tea"
                             << "Pause timer";
    QTest::newRow("paused") << TimerState::Paused << "play.fill"
                            << "Resume Tea"
                            << "Resume timer";
    QTest::newRow("completed") << TimerState::Completed << "arrow.counterclockwise"
                               << "Restart Tea"
                               << "Restart timer";
}

void TestViewFormats::playSymbol() {
    QFETCH(TimerState, state);
    QFETCH(QString, symbol);
    QFETCH(QString, named);
    QFETCH(QString, unnamed);
    QCOMPARE(ViewFormats::playSymbol(state), symbol);
    QVERIFY(!Symbols::glyph(symbol).isEmpty());
    QCOMPARE(ViewFormats::playActionName(state, QStringLiteral("Tea")), named);
    QCOMPARE(ViewFormats::playActionName(state, QString()), unnamed);
}

void TestViewFormats::twoDigits_data() {
    QTest::addColumn<qint64>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("zero") << qint64(0) << "00";
    QTest::newRow("one digit") << qint64(5) << "05";
    QTest::newRow("two digits") << qint64(59) << "59";
    QTest::newRow("hundred") << qint64(100) << "100";
    QTest::newRow("thousands") << qint64(2400) << "2400";
    QTest::newRow("negative") << qint64(-5) << "-05";
    QTest::newRow("negative wide") << qint64(-123) << "-123";
}

void TestViewFormats::twoDigits() {
    QFETCH(qint64, value);
    QFETCH(QString, text);
    QCOMPARE(ViewFormats::twoDigits(value), text);
}

void TestViewFormats::clockUnits_data() {
    QTest::addColumn<double>("duration");
    QTest::addColumn<qint64>("hours");
    QTest::addColumn<qint64>("minutes");
    QTest::addColumn<qint64>("seconds");
    QTest::newRow("zero") << 0.0 << qint64(0) << qint64(0) << qint64(0);
    QTest::newRow("3725") << 3725.0 << qint64(1) << qint64(2) << qint64(5);
    QTest::newRow("fraction dropped") << 90.7 << qint64(0) << qint64(1) << qint64(30);
    QTest::newRow("just under a second") << 0.999 << qint64(0) << qint64(0) << qint64(0);
    QTest::newRow("longest pick") << 86399.0 << qint64(23) << qint64(59) << qint64(59);
    QTest::newRow("a day") << 86400.0 << qint64(24) << qint64(0) << qint64(0);
    QTest::newRow("hundred hours") << 360000.0 + 61 << qint64(100) << qint64(1) << qint64(1);
    QTest::newRow("negative truncates to zero") << -0.5 << qint64(0) << qint64(0) << qint64(0);
    QTest::newRow("negative") << -3725.9 << qint64(-1) << qint64(-2) << qint64(-5);
    QTest::newRow("nan") << kNaN << qint64(0) << qint64(0) << qint64(0);
    QTest::newRow("infinity") << kInf << qint64(0) << qint64(0) << qint64(0);
    QTest::newRow("minus infinity") << -kInf << qint64(0) << qint64(0) << qint64(0);
}

void TestViewFormats::clockUnits() {
    QFETCH(double, duration);
    QFETCH(qint64, hours);
    QFETCH(qint64, minutes);
    QFETCH(qint64, seconds);
    QCOMPARE(ViewFormats::hoursOf(duration), hours);
    QCOMPARE(ViewFormats::minutesOf(duration), minutes);
    QCOMPARE(ViewFormats::secondsOf(duration), seconds);
}

void TestViewFormats::adjustDuration_data() {
    QTest::addColumn<double>("from");
    QTest::addColumn<int>("h");
    QTest::addColumn<int>("m");
    QTest::addColumn<int>("s");
    QTest::addColumn<double>("to");
    QTest::newRow("second up") << 0.0 << 0 << 0 << 1 << 1.0;
    QTest::newRow("down from zero") << 0.0 << 0 << 0 << -1 << 0.0;
    QTest::newRow("hour down from zero") << 0.0 << -1 << 0 << 0 << 0.0;
    QTest::newRow("fraction kept") << 90.7 << 0 << 0 << 1 << 91.7;
    QTest::newRow("minute carries") << 3570.0 << 0 << 1 << 0 << 3630.0;
    QTest::newRow("second carries") << 3599.0 << 0 << 0 << 1 << 3600.0;
    QTest::newRow("second borrows") << 3600.0 << 0 << 0 << -1 << 3599.0;
    QTest::newRow("at ceiling") << 86399.0 << 0 << 0 << 1 << 86399.0;
    QTest::newRow("hour to ceiling") << 86000.0 << 1 << 0 << 0 << 86399.0;
    QTest::newRow("late hour cut") << 84600.0 << 1 << 0 << 0 << 86399.0;
    QTest::newRow("minute cut at floor") << 40.0 << 0 << -1 << 0 << 0.0;
    QTest::newRow("above range steps down into it") << 90000.0 << 0 << 0 << -1 << 86399.0;
    QTest::newRow("below range steps up into it") << -500.0 << 0 << 0 << 1 << 0.0;
    QTest::newRow("nan starts from zero") << kNaN << 0 << 1 << 0 << 60.0;
    QTest::newRow("infinity") << kInf << 0 << 0 << -1 << 86399.0;
    QTest::newRow("minus infinity") << -kInf << 0 << 0 << 1 << 0.0;
    QTest::newRow("huge steps") << 10.0 << std::numeric_limits<int>::max() << 0 << 0 << 86399.0;
    QTest::newRow("huge steps down") << 10.0 << std::numeric_limits<int>::min() << 0 << 0 << 0.0;
}

void TestViewFormats::adjustDuration() {
    QFETCH(double, from);
    QFETCH(int, h);
    QFETCH(int, m);
    QFETCH(int, s);
    QFETCH(double, to);
    const double result = ViewFormats::adjustDuration(from, h, m, s);
    QVERIFY(std::isfinite(result));
    QCOMPARE(result, to);
}

void TestViewFormats::soundLabel_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("custom");
    QTest::addColumn<QString>("label");
    QTest::newRow("built in") << "chime" << false << "Chime";
    QTest::newRow("custom kept as named") << "alarm clip" << true << "alarm clip (custom)";
    QTest::newRow("empty") << "" << false << "";
    QTest::newRow("non-ascii first letter") << "\u00e9cho" << false << "\u00c9cho";
}

void TestViewFormats::soundLabel() {
    QFETCH(QString, name);
    QFETCH(bool, custom);
    QFETCH(QString, label);
    QCOMPARE(ViewFormats::soundLabel(name, custom), label);
}

void TestViewFormats::intervalText_data() {
    QTest::addColumn<double>("seconds");
    QTest::addColumn<QString>("text");
    QTest::newRow("one minute") << 60.0 << "1 min";
    QTest::newRow("two hours in minutes") << 7200.0 << "120 min";
    QTest::newRow("part minute dropped") << 90.0 << "1 min";
    QTest::newRow("under a minute") << 59.9 << "0 min";
    QTest::newRow("nan") << kNaN << "0 min";
}

void TestViewFormats::intervalText() {
    QFETCH(double, seconds);
    QFETCH(QString, text);
    QCOMPARE(ViewFormats::intervalText(seconds), text);
}

void TestViewFormats::preWarningOptions() {
    const QVariantList options = ViewFormats::preWarningOptions();
    QStringList labels;
    QList<int> seconds;
    for (const QVariant& option : options) {
        const QVariantMap map = option.toMap();
        labels << map.value(QStringLiteral("label")).toString();
        seconds << map.value(QStringLiteral("seconds")).toInt();
    }
    QCOMPARE(labels, (QStringList{"None", "30s", "1 min", "2 min", "5 min"}));
    QCOMPARE(seconds, (QList<int>{0, 30, 60, 120, 300}));
}

void TestViewFormats::pickerEmojis() {
    const QStringList emojis = ViewFormats::pickerEmojis();
    QCOMPARE(emojis.size(), 30);
    // Item 1 has no presentation selector, item 25 has one; the highlight compares exact text.
    QCOMPARE(emojis.at(0), QString(QChar(0x23F1)));
    QCOMPARE(emojis.at(24), QStringLiteral("\u2600\uFE0F"));
    QCOMPARE(emojis.at(10), QStringLiteral("\U0001F345"));
    QCOMPARE(emojis.at(29), QStringLiteral("\U0001F3A7"));
    QCOMPARE(QSet<QString>(emojis.begin(), emojis.end()).size(), 30);
    for (const QString& e : emojis) QVERIFY2(e.toUcs4().size() <= 2 && !e.isEmpty(), qPrintable(e));
}

QTEST_GUILESS_MAIN(TestViewFormats)
#include "tst_viewformats.moc"
