#include <QSignalSpy>
#include <QTest>

#include "app/FloatingTimerPanel.h"
#include "app/TrayPopup.h"
#include "app/ViewEngine.h"
#include "engine/SoundManager.h"
#include "engine/TimerManager.h"
#include "focus/StatsManager.h"
#include "presets/PresetManager.h"
#include "support/FakeAudioPlayer.h"
#include "support/ManualTime.h"
#include "support/RecordingNotifier.h"
#include "support/TempStorage.h"
#include "themes/ThemeManager.h"

using namespace larkspur;
using namespace larkspur::test;

namespace {
struct Managers {
    TempStorage files;
    ManualTime time;
    RecordingNotifier notifier;
    FakePlayers players;
    TimerManager timers{files.storage, time, time, notifier};
    PresetManager presets{files.storage};
    SoundManager sounds{files.storage, players.factory()};
    ThemeManager themes{files.storage};
    StatsManager stats{files.storage, time};
    SharedManagers shared;
    Managers() {
        shared.timerManager = &timers;
        shared.presetManager = &presets;
        shared.soundManager = &sounds;
        shared.themeManager = &themes;
        shared.statsManager = &stats;
    }
};

struct Panel {
    Managers m;
    ViewEngine views{m.shared};
    QString tab = QStringLiteral("Timers");
    FloatingTimerPanel panel{views, [this] { return tab; }, [this](const QString& t) { tab = t; }};
};
}  // namespace

// The windows around the views: what is made when, what the views' signals do, and what
// survives a rebuild.
class TestPanelWindows : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void panelStartsHiddenAndEmpty();
    void panelShowsTheStoredTab();
    void tabOutlivesARebuild();
    void closeButtonOnlyHides();
    void dropDownReportsItsCommands();
};

void TestPanelWindows::panelStartsHiddenAndEmpty() {
    Panel p;
    QQuickWindow& w = p.panel.window();
    QVERIFY(!p.panel.isPanelVisible());
    QCOMPARE(w.size(), QSize(400, 400));
    QCOMPARE(w.minimumSize(), QSize(360, 250));
    QCOMPARE(w.maximumSize(), QSize(600, 800));
    QVERIFY(w.flags().testFlags(Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint));
    // Nobody opened it yet, so no view and no engine were made.
    QVERIFY(!p.panel.content());
    QVERIFY(!p.views.isCreated());
}

void TestPanelWindows::panelShowsTheStoredTab() {
    Panel p;
    p.tab = QStringLiteral("Stats");
    p.panel.showPanel();
    QVERIFY(p.panel.isPanelVisible());
    QVERIFY(p.panel.content());
    QCOMPARE(p.panel.content()->property("selectedTab").toString(), QStringLiteral("Stats"));
    QCOMPARE(p.panel.content()->size(), QSizeF(400, 400));
    p.panel.window().resize(500, 600);
    QTRY_COMPARE(p.panel.content()->size(), QSizeF(500, 600));
}

void TestPanelWindows::tabOutlivesARebuild() {
    Panel p;
    p.panel.showPanel();
    QPointer<QQuickItem> first = p.panel.content();
    first->setProperty("selectedTab", QStringLiteral("Focus"));
    QCOMPARE(p.tab, QStringLiteral("Focus"));
    first->setProperty("showingNewTimer", true);
    p.panel.rebuildPanelContent();
    QVERIFY(p.panel.content() != first.data());
    QCOMPARE(p.panel.content()->property("selectedTab").toString(), QStringLiteral("Focus"));
    // Everything else of the view starts anew.
    QCOMPARE(p.panel.content()->property("showingNewTimer").toBool(), false);
}

void TestPanelWindows::closeButtonOnlyHides() {
    Panel p;
    p.m.timers.createTimer("Tea", 60, TimerMode::Countdown, {})->start();
    p.panel.showPanel();
    p.panel.content()->setProperty("selectedTab", QStringLiteral("Sequences"));
    QVERIFY(QMetaObject::invokeMethod(p.panel.content(), "closeRequested"));
    QVERIFY(!p.panel.isPanelVisible());
    QCOMPARE(p.m.timers.timers().first()->state(), TimerState::Running);
    p.panel.togglePanel();
    QVERIFY(p.panel.isPanelVisible());
    QCOMPARE(p.panel.content()->property("selectedTab").toString(), QStringLiteral("Sequences"));
    p.panel.togglePanel();
    QVERIFY(!p.panel.isPanelVisible());
}

void TestPanelWindows::dropDownReportsItsCommands() {
    Managers m;
    ViewEngine views(m.shared);
    TrayPopup popup(views);
    QSignalSpy tabs(&popup, &TrayPopup::panelTabRequested);
    QSignalSpy toggles(&popup, &TrayPopup::togglePanelRequested);
    QSignalSpy quits(&popup, &TrayPopup::quitRequested);

    popup.openAt(QPoint(20, 20), true);
    QVERIFY(popup.isOpen());
    QCOMPARE(popup.content()->property("isPanelVisible").toBool(), true);
    QCOMPARE(popup.window()->width(), 300);
    QVERIFY(QMetaObject::invokeMethod(popup.content(), "showPanelTab", Q_ARG(QString, "Stats")));
    QCOMPARE(tabs.size(), 1);
    QCOMPARE(tabs.at(0).at(0).toString(), QStringLiteral("Stats"));
    QVERIFY(!popup.isOpen());

    // Each opening takes the panel's visibility of that moment.
    popup.openAt(QPoint(20, 20), false);
    QCOMPARE(popup.content()->property("isPanelVisible").toBool(), false);
    // The new-timer sheet gets room of its own.
    popup.content()->setProperty("showingNewTimer", true);
    QCOMPARE(popup.window()->width(), 360);
    QVERIFY(popup.window()->height() >= 480);
    QVERIFY(QMetaObject::invokeMethod(popup.content(), "togglePanel"));
    QCOMPARE(toggles.size(), 1);

    popup.openAt(QPoint(20, 20), false);
    QVERIFY(QMetaObject::invokeMethod(popup.content(), "quit"));
    QCOMPARE(quits.size(), 1);
    QVERIFY(!popup.isOpen());
}

QTEST_MAIN(TestPanelWindows)
#include "tst_panelwindows.moc"
