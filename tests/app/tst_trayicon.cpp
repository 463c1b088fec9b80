#include <QApplication>
#include <QTest>

#include "app/TrayIcon.h"
#include "app/TrayIconRenderer.h"
#include "engine/TimerManager.h"
#include "support/ManualTime.h"
#include "support/RecordingNotifier.h"
#include "support/TempStorage.h"

using namespace larkspur;
using namespace larkspur::test;

namespace {
// Share of pixels in the image that are drawn in the light ink colour.
double inkShare(const QImage& image) {
    int ink = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qGray(image.pixel(x, y)) > 200 && qAlpha(image.pixel(x, y)) > 200) ++ink;
    return double(ink) / (image.width() * image.height());
}
}  // namespace

class TestTrayIcon : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void splitLines_data();
    void splitLines();
    void rendersSymbolAndTime();
    void labelFollowsFirstRunningTimer();
};

void TestTrayIcon::splitLines_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("top");
    QTest::addColumn<QString>("bottom");
    QTest::newRow("minutes") << "04:59"
                             << "04"
                             << "59";
    QTest::newRow("hours") << "1:02:03"
                           << "1h"
                           << "02";
    QTest::newRow("many hours") << "26:03:09"
                                << "26h"
                                << "03";
}

void TestTrayIcon::splitLines() {
    QFETCH(QString, text);
    QFETCH(QString, top);
    QFETCH(QString, bottom);
    const auto [t, b] = TrayIconRenderer::splitLines(text);
    QCOMPARE(t, top);
    QCOMPARE(b, bottom);
}

void TestTrayIcon::rendersSymbolAndTime() {
    const QImage symbol = TrayIconRenderer::render(QString(), 44);
    const QImage time = TrayIconRenderer::render(QStringLiteral("04:59"), 44);
    const QImage other = TrayIconRenderer::render(QStringLiteral("04:58"), 44);
    QCOMPARE(symbol.size(), QSize(44, 44));
    QVERIFY(inkShare(symbol) > 0.03);
    // Digits fill a good part of the plate, so that they stay readable when scaled to 22 px.
    QVERIFY2(inkShare(time) > 0.12, qPrintable(QString::number(inkShare(time))));
    QVERIFY(time != symbol);
    QVERIFY(time != other);
    const double share = inkShare(TrayIconRenderer::render(QStringLiteral("99:59:59"), 22));
    QVERIFY2(share > 0.05, qPrintable(QString::number(share)));
}

void TestTrayIcon::labelFollowsFirstRunningTimer() {
    TempStorage files;
    ManualTime time;
    RecordingNotifier notifier;
    TimerManager timers(files.storage, time, time, notifier);
    TrayIcon tray(timers);
    QCOMPARE(tray.shownText(), QString());
    QCOMPARE(tray.trayIcon().toolTip(), QStringLiteral("Larkspurhollow"));
    auto* first = timers.createTimer("A", 300, TimerMode::Countdown, SoundConfig{});
    auto* second = timers.createTimer("B", 90, TimerMode::Countdown, SoundConfig{});
    second->start();
    time.advance(0.5);
    QCOMPARE(tray.shownText(), QStringLiteral("01:30"));
    first->start();
    time.advance(1.6);  // the label follows the half-second refresh
    QCOMPARE(tray.shownText(), QStringLiteral("04:59"));
    QCOMPARE(tray.trayIcon().toolTip(), QStringLiteral("04:59"));
    first->pause();
    QCOMPARE(tray.shownText(), QStringLiteral("01:28"));  // redrawn at once, not at the next tick
    second->pause();
    QCOMPARE(tray.shownText(), QString());
}

QTEST_MAIN(TestTrayIcon)
#include "tst_trayicon.moc"
