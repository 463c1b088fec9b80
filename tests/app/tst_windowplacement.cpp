#include <QTest>

#include "app/WindowPlacement.h"

using namespace larkspur;

class TestWindowPlacement : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void panelOriginInTheRulesSpace();
    void panelFirstPosition_data();
    void panelFirstPosition();
    void dropDownBesideThePointer_data();
    void dropDownBesideThePointer();
};

void TestWindowPlacement::panelOriginInTheRulesSpace() {
    // A visible frame 1440 wide from x = 0 whose top edge is at y = 875 (y up).
    QCOMPARE(panelOriginYUp(0, 1440, 875), QPointF(520, 495));
}

void TestWindowPlacement::panelFirstPosition_data() {
    QTest::addColumn<QRect>("screen");
    QTest::addColumn<QRect>("available");
    QTest::addColumn<QPoint>("expected");
    // The rule puts the top 20 above the visible area; it is kept inside instead.
    QTest::newRow("menu bar on top")
        << QRect(0, 0, 1440, 900) << QRect(0, 25, 1440, 875) << QPoint(520, 25);
    QTest::newRow("tall panel area")
        << QRect(0, 0, 1920, 1080) << QRect(0, 0, 1920, 1040) << QPoint(760, 0);
    QTest::newRow("screen right of another")
        << QRect(1920, 0, 1280, 1024) << QRect(1920, 40, 1280, 984) << QPoint(2360, 40);
    QTest::newRow("tiny screen") << QRect(0, 0, 300, 200) << QRect(0, 0, 300, 200) << QPoint(0, 0);
}

void TestWindowPlacement::panelFirstPosition() {
    QFETCH(QRect, screen);
    QFETCH(QRect, available);
    QFETCH(QPoint, expected);
    QCOMPARE(larkspur::panelFirstPosition(screen, available, QSize(400, 400)), expected);
}

void TestWindowPlacement::dropDownBesideThePointer_data() {
    QTest::addColumn<QPoint>("pointer");
    QTest::addColumn<QPoint>("expected");
    const QRect area(0, 0, 800, 600);
    QTest::newRow("tray at the top left") << QPoint(10, 10) << QPoint(0, 14);
    QTest::newRow("tray at the top right") << QPoint(790, 10) << QPoint(500, 14);
    QTest::newRow("tray at the bottom") << QPoint(400, 595) << QPoint(250, 191);
    QTest::newRow("too tall to fit below") << QPoint(400, 200) << QPoint(250, 200);
}

void TestWindowPlacement::dropDownBesideThePointer() {
    QFETCH(QPoint, pointer);
    QFETCH(QPoint, expected);
    const QSize size(300, 400);
    const QRect area(0, 0, 800, 600);
    const QPoint at = dropDownPosition(pointer, size, area);
    QCOMPARE(at, expected);
    QVERIFY(area.contains(QRect(at, size)));
}

QTEST_GUILESS_MAIN(TestWindowPlacement)
#include "tst_windowplacement.moc"
