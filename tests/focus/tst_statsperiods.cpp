// Day and week bounds in the zone given by TZ; the rows are local wall-clock times, valid in
// every zone, and catch the 23- and 25-hour days where the zone has them.
#include <QTest>

#include "focus/FocusTesting.h"
#include "focus/StatsManager.h"
#include "support/ManualTime.h"
#include "support/TempStorage.h"

using namespace larkspur;
using namespace larkspur::test;

class TestStatsPeriods : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void bounds_data();
    void bounds();
    void systemLocaleByDefault();
    void unplaceableClockGivesEmptyFigures();
};

void TestStatsPeriods::bounds_data() {
    QTest::addColumn<QString>("now");
    QTest::addColumn<QString>("start");
    QTest::addColumn<double>("shift");  // seconds added to `start`
    QTest::addColumn<bool>("today");
    QTest::addColumn<bool>("weekFromSunday");  // en_US
    QTest::addColumn<bool>("weekFromMonday");  // de_DE
    const double justBefore = -0.0004;
    auto row = [](const char* name, const char* now, const char* start, double shift, bool today,
                  bool sunday, bool monday) {
        QTest::newRow(name) << now << start << shift << today << sunday << monday;
    };
    const char* wednesday = "2024-05-15T12:00:00";
    row("midnight opens the day", wednesday, "2024-05-15T00:00:00", 0, true, true, true);
    row("just before midnight", wednesday, "2024-05-15T00:00:00", justBefore, false, true, true);
    row("last instant of today", wednesday, "2024-05-16T00:00:00", justBefore, true, true, true);
    row("tomorrow", wednesday, "2024-05-16T00:00:00", 0, false, true, true);
    row("a later week", wednesday, "2024-06-20T09:00:00", 0, false, true, true);
    row("begun before midnight", "2024-05-16T00:10:00", "2024-05-15T23:50:00", 0, false, true,
        true);
    row("Sunday", wednesday, "2024-05-12T10:00:00", 0, false, true, false);
    row("Sunday midnight", wednesday, "2024-05-12T00:00:00", 0, false, true, false);
    row("just before Sunday", wednesday, "2024-05-12T00:00:00", justBefore, false, false, false);
    row("Monday midnight", wednesday, "2024-05-13T00:00:00", 0, false, true, true);
    row("just before Monday", wednesday, "2024-05-13T00:00:00", justBefore, false, true, false);
    row("now on Sunday", "2024-05-19T08:00:00", "2024-05-18T12:00:00", 0, false, false, true);
    row("now at Monday midnight", "2024-05-13T00:00:00", "2024-05-12T23:59:59", 0, false, true,
        false);
    row("record at now", "2024-05-13T00:00:00", "2024-05-13T00:00:00", 0, true, true, true);
    // New York: 23 hours on 10 March, 25 on 3 November.
    row("US spring day ends", "2024-03-10T12:00:00", "2024-03-11T00:30:00", 0, false, true, true);
    row("US spring day late", "2024-03-10T12:00:00", "2024-03-10T23:30:00", 0, true, true, true);
    row("US autumn day late", "2024-11-03T12:00:00", "2024-11-03T23:30:00", 0, true, true, true);
    row("US autumn day ends", "2024-11-03T12:00:00", "2024-11-04T00:00:00", 0, false, true, true);
    row("US week over spring", "2024-03-13T12:00:00", "2024-03-09T23:30:00", 0, false, false,
        false);
    row("US week starts", "2024-03-13T12:00:00", "2024-03-10T00:30:00", 0, false, true, false);
    // Berlin: 23 hours on 31 March, 25 on 27 October.
    row("EU spring day ends", "2024-03-31T12:00:00", "2024-04-01T00:30:00", 0, false, true, true);
    row("EU spring day late", "2024-03-31T12:00:00", "2024-03-31T23:30:00", 0, true, true, true);
    row("EU autumn day late", "2024-10-27T12:00:00", "2024-10-27T23:30:00", 0, true, true, true);
    row("EU autumn day ends", "2024-10-27T12:00:00", "2024-10-28T00:00:00", 0, false, true, true);
    row("EU week over spring", "2024-04-02T12:00:00", "2024-03-30T23:30:00", 0, false, false,
        false);
    row("EU week starts", "2024-04-02T12:00:00", "2024-03-31T00:30:00", 0, false, true, false);
    row("EU Monday", "2024-04-02T12:00:00", "2024-04-01T00:00:00", justBefore, false, true, false);
    // São Paulo, 4 November 2018: the day began at 01:00, midnight never happened.
    row("day without midnight", "2018-11-04T12:00:00", "2018-11-04T01:00:00", 0, true, true, true);
    row("eve of that day", "2018-11-04T12:00:00", "2018-11-03T23:59:59", 0, false, false, true);
}

void TestStatsPeriods::bounds() {
    QFETCH(QString, now);
    QFETCH(QString, start);
    QFETCH(double, shift);
    QFETCH(bool, today);
    QFETCH(bool, weekFromSunday);
    QFETCH(bool, weekFromMonday);
    const struct {
        const char* name;
        Qt::DayOfWeek first;
        bool inWeek;
    } locales[] = {{"en_US", Qt::Sunday, weekFromSunday}, {"de_DE", Qt::Monday, weekFromMonday}};
    for (const auto& [name, first, inWeek] : locales) {
        const QLocale locale(QString::fromLatin1(name));
        QCOMPARE(locale.firstDayOfWeek(), first);
        TempStorage files;
        ManualTime time(localTime(now));
        StatsManager m(files.storage, time, locale);
        const FocusSession s = record(localTime(start, shift), 60);
        QVERIFY(m.logSession(s));
        QCOMPARE(m.todayFocusBlocks(), today ? 1 : 0);
        QCOMPARE(m.todaySessions(), today ? QList{s} : QList<FocusSession>{});
        QCOMPARE(m.weekFocusBlocks(), inWeek ? 1 : 0);
        QCOMPARE(m.thisWeekSessions(), inWeek ? QList{s} : QList<FocusSession>{});
    }
}

void TestStatsPeriods::systemLocaleByDefault() {
    // LC_ALL differs between the runs of this test, so one of them fails if the default ignores it.
    const Qt::DayOfWeek first = QLocale::system().firstDayOfWeek();
    QVERIFY(first == Qt::Sunday || first == Qt::Monday);
    TempStorage files;
    ManualTime time(localTime(QStringLiteral("2024-05-15T12:00:00")));
    StatsManager m(files.storage, time);
    m.logSession(record(localTime(QStringLiteral("2024-05-12T10:00:00")), 60));
    QCOMPARE(m.weekFocusBlocks(), first == Qt::Sunday ? 1 : 0);
}

void TestStatsPeriods::unplaceableClockGivesEmptyFigures() {
    TempStorage files;
    ManualTime time(1e300);
    StatsManager m(files.storage, time, QLocale(QStringLiteral("en_US")));
    QVERIFY(m.logSession(record(1e300, 60)));
    QCOMPARE(m.todayFocusBlocks(), 0);
    QCOMPARE(m.weekFocusBlocks(), 0);
    QVERIFY(m.thisWeekSessions().isEmpty());
    QCOMPARE(m.totalFocusMinutes(), 1);
}

QTEST_GUILESS_MAIN(TestStatsPeriods)
#include "tst_statsperiods.moc"
