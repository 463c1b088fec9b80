#include <QTest>

#include "app/AppDelegate.h"
#include "app/DropDownWindow.h"
#include "app/FloatingTimerPanel.h"
#include "app/SettingsWindow.h"
#include "app/StopActionNotifier.h"
#include "app/TrayIcon.h"
#include "app/TrayIconRenderer.h"
#include "app/WindowPlacement.h"
#include "engine/SoundManager.h"
#include "engine/TimerNotifications.h"
#include "services/GlobalHotKeys.h"
#include "support/FakePanel.h"
#include "support/TempStorage.h"
#include "ui/Preferences.h"
#include "ui/SequenceList.h"
#include "ui/ViewContext.h"

using namespace larkspur;
using namespace larkspur::test;

class TestApp : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void hotKeys() {
        PanelWorld a;
        HotKeys keys(a.shared);
        keys.registerHotKey();  // refused without an X server; presses still come by signal
        GlobalHotKeys* grabs = keys.keys();
        // The most recent timer's state after a press, then the webhook events it sent.
        auto press = [&](quint32 key) {
            Q_EMIT grabs->activated(key);
            QStringList out = a.events();
            if (!a.manager.timers().isEmpty())
                out.prepend(QVariant::fromValue(a.manager.timers().last()->state()).toString());
            return out;
        };
        QCOMPARE(press(2) + press(3), QStringList());  // no timers
        a.add("Older", 3600)->start();                 // not the most recent one
        TimerInstance* last = a.add("Last", 60);
        QCOMPARE(press(2), (QStringList{"Running", "timer.started"}));
        QCOMPARE(press(2), (QStringList{"Paused", "timer.paused"}));
        QCOMPARE(press(2), QStringList{"Running"});
        QCOMPARE(press(3), (QStringList{"Idle", "timer.reset"}));
        QCOMPARE(press(1) + press(1), (QStringList{"Idle", "Idle"}));
        QVERIFY(a.panel.shows == 1 && a.panel.hides == 1);
        last->start();
        a.time.advance(61);
        QCOMPARE(press(2), (QStringList{"Running", "timer.started"}));  // completed: again

        SharedManagers none, timersOnly{&a.manager, {}, {}, {}, {}, {}, {}};
        for (quint32 key : {1u, 2u, 3u}) {
            HotKeys(none).handle(key);
            HotKeys(timersOnly).handle(key);
        }
        QCOMPARE(last->state(), TimerState::Idle);
        QCOMPARE(a.events(), QStringList());
    }

    void stopAction() {
        PanelWorld w;
        QStringList actions{"none"};
        StopActionNotifier stop(
            [&](const Notification&, const QStringList& given) { actions = given; });
        stop.setTimerManager(&w.manager);
        const auto sound = SoundConfig{"chime", 1, AlertMode::LoopUntilDismissed, 5};
        stop.post(completionNotification(
            w.manager.createTimer(NewTimer{.name = "Tea", .duration = 10, .soundConfig = sound})
                ->data()));
        QCOMPARE(actions, (QStringList{"stop", "Stop"}));
        stop.post(completionNotification(w.add("Once", 10)->data()));
        QCOMPARE(actions, QStringList());
    }

    void trayIcon() {
        PanelWorld a;
        TrayIcon tray(a.manager);
        QSystemTrayIcon& icon = tray.trayIcon();
        QCOMPARE(icon.icon().availableSizes(),
                 (QList<QSize>{{22, 22}, {32, 32}, {44, 44}, {64, 64}}));
        TimerInstance *first = a.add("A", 300), *second = a.add("B", 90);
        second->start();
        first->start();
        a.time.advance(2.6);
        QCOMPARE(icon.toolTip(), "04:58");  // the first running timer in the list
        const qint64 drawn = icon.icon().cacheKey();
        Q_EMIT a.manager.timersChanged();
        QCOMPARE(icon.icon().cacheKey(), drawn);  // same text: not drawn again
        QMenu* menu = icon.contextMenu();
        auto texts = [menu] {
            Q_EMIT menu->aboutToShow();
            QStringList out;
            for (QAction* action : menu->actions())
                out << action->text() + (action->isEnabled() ? "" : "-");
            return out;
        };
        QCOMPARE(texts(), (QStringList{"A  04:58-", "B  01:28-", "", "Quit"}));
        a.time.advance(0.399);  // relabelled at each second boundary and at no other moment
        QCOMPARE(tray.shownText(), "04:58");
        const std::size_t woken = a.time.ran();
        a.time.advance(7.0015);
        QCOMPARE(QVariantList({tray.shownText(), qulonglong(a.time.ran() - woken)}),
                 QVariantList({"04:50", 8ull}));
        first->pause();  // redrawn at once, not at the next tick
        QCOMPARE(tray.shownText(), "01:20");
        second->pause();
        QCOMPARE(icon.toolTip(), "Larkspurhollow");
        QCOMPARE(texts(), (QStringList{"No running timers-", "", "Quit"}));
    }

    void trayImage() {
        using R = TrayIconRenderer;
        QCOMPARE(R::splitLines("04:59"), std::pair(QStringLiteral("04"), QStringLiteral("59")));
        QCOMPARE(R::splitLines("1:02:03"), std::pair(QStringLiteral("1h"), QStringLiteral("02")));
        QCOMPARE(R::splitLines("x"), std::pair(QStringLiteral("x"), QString()));
        const QImage symbol = R::render({}, 44);
        QCOMPARE(qAlpha(symbol.pixel(22, 0)), 235);  // the plate, up to the edge
        // The stopwatch's stem, hands meeting in the middle, ring and second hand.
        for (QPoint p : {QPoint(22, 8), QPoint(22, 24), QPoint(7, 24), QPoint(26, 26)})
            QVERIFY(qGray(symbol.pixel(p)) > 200);
        // Minutes over seconds: something drawn on either half of the plate.
        const QImage time = R::render("04:59", 44), plate = R::render(" ", 44);
        QVERIFY(time.copy(0, 0, 44, 22) != plate.copy(0, 0, 44, 22));
        QVERIFY(time.copy(0, 22, 44, 22) != plate.copy(0, 22, 44, 22));
        // Bold digits: regular ones leave about 10 % of the plate in light ink, bold ones 16 %.
        int ink = 0;
        for (int y = 0; y < 44; ++y)
            for (int x = 0; x < 44; ++x) ink += qGray(time.pixel(x, y)) > 200;
        QVERIFY2(ink > 44 * 44 * 13 / 100, qPrintable(QString::number(ink)));
    }

    // Rows of the sequence list: five chips at most and the count of the rest; a reload reads
    // the file again, and starting leaves the stored sequence as it was.
    void sequenceRows() {
        PanelWorld a;
        TimerSequence seven{QUuid::createUuid(), "Seven", {}, 0},
            five{QUuid::createUuid(), "Five", {}, 0};
        for (int i = 0; i < 7; ++i) addStep(seven);
        for (int i = 0; i < 5; ++i) addStep(five);
        a.files.storage.save(QList<TimerSequence>{seven, five}, kSequencesFile);
        SequenceList list(a.files.storage, a.manager);
        list.reload();
        QStringList rows;
        for (const QVariant& v : list.sequenceValues()) {
            const QVariantMap row = v.toMap();
            rows << QStringLiteral("%1 %2 %3 +%4")
                        .arg(row["name"].toString())
                        .arg(row["stepCount"].toInt())
                        .arg(row["chips"].toList().size())
                        .arg(row["moreSteps"].toInt());
        }
        QCOMPARE(rows, (QStringList{"Seven 7 5 +2", "Five 5 5 +0"}));
        list.start(json::uuidToString(seven.id));
        QCOMPARE(a.manager.timers().size(), 1);
        QCOMPARE(list.sequences().first(), seven);
    }

    // The new-timer defaults and the volume are kept across launches; a strange value keeps its
    // default.
    void preferences() {
        TempStorage files;
        files.write(kPreferencesFile,
                    R"({"defaultTimerMode":"loop","defaultSound":"bell","globalVolume":0.35})");
        Preferences first(&files.storage);
        first.setDefaultTimerMode(TimerMode::EndTime);
        first.setDefaultSound("");  // no sound is no choice
        SoundManager sounds(files.storage, nullptr);
        first.follow(sounds);
        QCOMPARE(sounds.globalVolume(), 0.35f);
        sounds.setGlobalVolume(1.0f);
        const auto shown = [](const Preferences& p) {
            return toRawValue(p.defaultTimerMode()) + ' ' + p.defaultSound() + ' ' +
                   QString::number(p.globalVolume());
        };
        QCOMPARE(shown(Preferences(&files.storage)), "endTime bell 1");
        QVERIFY(files.read(kPreferencesFile).contains(R"("globalVolume":1)"));
        files.write(kPreferencesFile,
                    R"({"defaultTimerMode":"weekly","defaultSound":7,"globalVolume":1.5})");
        QCOMPARE(shown(Preferences(&files.storage)), "countdown chime 0.8");
    }

    void windowPlacement() {
        // The y-up origin turned into a top edge 380 - height below the visible top.
        const QRect screen(0, 0, 1440, 900), below(0, 25, 1440, 875);
        QCOMPARE(panelFirstPosition(screen, below, {400, 300}), QPoint(520, 105));
        QCOMPARE(panelFirstPosition(screen, below, {400, 400}), QPoint(520, 25));
        QCOMPARE(panelFirstPosition({1920, 0, 1280, 1024}, {1920, 40, 1280, 984}, {400, 300}),
                 QPoint(2360, 120));
        QCOMPARE(panelFirstPosition({0, 0, 600, 300}, {0, 0, 600, 300}, {550, 100}),
                 QPoint(50, 200));
        QCOMPARE(panelFirstPosition({0, 0, 300, 200}, {0, 0, 300, 200}, {400, 400}), QPoint());
        const QSize size(300, 400);
        const QRect area(0, 0, 800, 600);
        QCOMPARE(dropDownPosition({10, 10}, size, area), QPoint(0, 14));
        QCOMPARE(dropDownPosition({790, 10}, size, area), QPoint(500, 14));
        QCOMPARE(dropDownPosition({400, 595}, size, area), QPoint(250, 191));
        QCOMPARE(dropDownPosition({400, 200}, size, area), QPoint(250, 200));
        // From the middle row on, above the pointer.
        QCOMPARE(dropDownPosition({400, 299}, size, area), QPoint(250, 0));
    }

    void delegateAndWindows() {
        PanelWorld a;
        ViewContext views(nullptr);
        views.setParts({.timerManager = &a.manager, .webhookManager = &a.webhooks});
        auto d = std::make_unique<AppDelegate>(a.shared, views);
        QSignalSpy quits(d.get(), &AppDelegate::quitRequested);
        d->openURLs({"larkspurhollow://start?duration=1"});
        QVERIFY(a.manager.timers().isEmpty());  // waits for launching
        d->applicationDidFinishLaunching();
        QPointer<FloatingTimerPanel> panel = d->panel();
        d->applicationDidFinishLaunching();
        QVERIFY(panel && d->panel() == panel);
        QCOMPARE(QQuickWindow::sceneGraphBackend(), "software");
        QVERIFY(panel->isPanelVisible() && a.shared.panel == panel);
        QVERIFY(d->trayIcon()->trayIcon().isVisible());
        QQuickWindow& w = panel->window();  // a frameless, translucent, sizeable window
        QCOMPARE(
            QVariantList({w.title(), w.minimumSize(), w.maximumSize(),
                          w.requestedFormat().alphaBufferSize(), w.color(), int(w.flags())}),
            QVariantList({"Larkspurhollow", QSize(360, 250), QSize(600, 800), 8,
                          QColor(Qt::transparent),
                          int(Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)}));
        a.time.advance(1.5);  // the completion is announced
        QCOMPARE(a.events(), (QStringList{"timer.started", "timer.completed"}));
        d->openURLs({"larkspurhollow://toggle"});  // at once, now
        QVERIFY(!panel->isPanelVisible());

        // The tab lives in the delegate: the view reads it when built and writes it back.
        d->showPanelTab(PanelTab::Stats);
        QQuickItem* view = panel->content();
        QCOMPARE(view->property("selectedTab"), int(PanelTab::Stats));
        view->setProperty("selectedTab", int(PanelTab::Focus));
        QCOMPARE(d->selectedPanelTab(), PanelTab::Focus);
        view->setProperty("selectedTab", 9);  // no tab: the last one stays
        QCOMPARE(d->selectedPanelTab(), PanelTab::Focus);
        QCOMPARE(view->size(), QSizeF(400, 400));
        w.resize(500, 600);
        QTRY_COMPARE(view->size(), QSizeF(500, 600));
        QCloseEvent close;
        QCoreApplication::sendEvent(&w, &close);  // closing only hides
        QVERIFY(!panel->isPanelVisible() && !close.isAccepted());
        QPointer<QQuickItem> old = view;
        d->rebuildPanelContent();
        QVERIFY(old);  // made anew when next on screen
        d->togglePanel();
        QVERIFY(!old && panel->isPanelVisible());
        QCOMPARE(panel->content()->property("selectedTab"), int(PanelTab::Focus));
        QMetaObject::invokeMethod(panel->content(), "closeRequested");
        QVERIFY(!panel->isPanelVisible());

        // The drop-down opens below the pointer and passes on the view's commands.
        DropDownWindow* drop = d->dropDown();
        QSystemTrayIcon& tray = d->trayIcon()->trayIcon();
        QCursor::setPos(20, 20);  // this tray host does not tell the icon's place
        Q_EMIT tray.activated(QSystemTrayIcon::Trigger);
        QCOMPARE(drop->window()->geometry(), QRect(0, 24, 300, drop->window()->height()));
        QCOMPARE(drop->content()->property("isPanelVisible"), false);
        Q_EMIT tray.activated(QSystemTrayIcon::Context);
        Q_EMIT tray.activated(QSystemTrayIcon::DoubleClick);
        QVERIFY(drop->isOpen());
        Q_EMIT tray.activated(QSystemTrayIcon::MiddleClick);
        QVERIFY(!drop->isOpen());
        for (const char* command : {"togglePanel", "openSettings", "quit"}) {
            d->toggleDropDown({20, 20});
            QMetaObject::invokeMethod(drop->content(), command);
            QVERIFY(!drop->isOpen() && panel->isPanelVisible());
        }
        // The settings window: a second request raises the one shown; closing gives it back, and
        // the next request makes a fresh one.
        QPointer<QQuickWindow> settings = d->settingsWindow()->window();
        QVERIFY(settings && settings->isVisible());
        QCOMPARE(QVariantList({settings->title(), settings->size(), int(settings->flags())}),
                 QVariantList({"Larkspurhollow Settings", QSize(520, 460), int(Qt::Window)}));
        d->openSettings();
        QCOMPARE(d->settingsWindow()->window(), settings.data());
        settings->close();
        QTRY_VERIFY(!settings && !d->settingsWindow()->window());
        d->openSettings();
        QVERIFY(d->settingsWindow()->isOpen());
        d->toggleDropDown({20, 20});
        QMetaObject::invokeMethod(drop->content(), "showPanelTab",
                                  Q_ARG(int, int(PanelTab::Sequences)));
        QCOMPARE(panel->content()->property("selectedTab"), int(PanelTab::Sequences));
        Q_EMIT d->trayIcon()->quitRequested();
        QCOMPARE(quits.size(), 2);
        d->toggleDropDown({20, 20});
        QMouseEvent away(QEvent::MouseButtonPress, {-5, -5}, {-5, -5}, Qt::LeftButton,
                         Qt::LeftButton, {});
        QCoreApplication::sendEvent(drop->window(), &away);
        QVERIFY(!drop->isOpen());
        d->toggleDropDown({20, 20});
        QCoreApplication::sendEvent(drop->window(), &close);
        QVERIFY(!drop->isOpen());

        // Going away with the panel shown: its last visibility change finds nothing destroyed.
        d->showPanel();
        QVERIFY(panel->isPanelVisible());
        d.reset();
        QVERIFY(!a.shared.panel);
    }
};

QTEST_MAIN(TestApp)
#include "tst_app.moc"
