#include "app/LarkspurhollowApp.h"

#include <QApplication>
#include <QTimer>

#include "app/FreedMemory.h"
#include "app/StopActionNotifier.h"
#include "app/TrayIcon.h"
#include "engine/SoundManager.h"
#include "engine/TimerManager.h"
#include "focus/FocusCycle.h"
#include "focus/StatsManager.h"
#include "focus/StatsPeriods.h"
#include "integrations/WebhookManager.h"
#include "presets/PresetManager.h"
#include "services/DBusNotifier.h"
#include "services/QtAudioPlayer.h"
#include "storage/JsonCodec.h"
#include "themes/ThemeManager.h"
#include "ui/SequenceList.h"

namespace larkspur {

LarkspurhollowApp::LarkspurhollowApp(QObject* parent)
    : QObject(parent),
      notifier_(std::make_unique<DBusNotifier>()),
      timerNotifier_(std::make_unique<StopActionNotifier>(
          [this](const Notification& n, const QStringList& actions) {
              notifier_->post(n, actions);
          })) {
    delegate_ = std::make_unique<AppDelegate>(shared_, views_);
    // The order is fixed: each manager loads its files as it is made.
    timerManager_ = new TimerManager(storage_, clock_, scheduler_, *timerNotifier_, this);
    timerNotifier_->setTimerManager(timerManager_);
    new FreedMemoryAfterDrops(*timerManager_, this);
    presetManager_ = new PresetManager(storage_, this);
    soundManager_ = new SoundManager(storage_, QtAudioPlayer::factory(), this);
    preferences_.follow(*soundManager_);
    themeManager_ = new ThemeManager(storage_, this);
    statsManager_ = new StatsManager(storage_, clock_, this);
    webhookManager_ = new WebhookManager(storage_, clock_, scheduler_, this);
    focusCycle_ = new FocusCycle(storage_, clock_, scheduler_, *statsManager_, *soundManager_,
                                 *notifier_, this);
    sequenceList_ = new SequenceList(storage_, *timerManager_, this);
    shared_.timerManager = timerManager_;
    shared_.presetManager = presetManager_;
    shared_.soundManager = soundManager_;
    shared_.themeManager = themeManager_;
    shared_.statsManager = statsManager_;
    shared_.webhookManager = webhookManager_;
    views_.setParts({.timerManager = timerManager_,
                     .presetManager = presetManager_,
                     .soundManager = soundManager_,
                     .themeManager = themeManager_,
                     .statsManager = statsManager_,
                     .webhookManager = webhookManager_,
                     .focusCycle = focusCycle_,
                     .sequenceList = sequenceList_,
                     .loginItem = &loginItem_,
                     .preferences = &preferences_,
                     .dialogs = &dialogs_});

    notifier_->setFallback([this](const Notification& n) {
        if (TrayIcon* tray = delegate_->trayIcon())
            tray->trayIcon().showMessage(n.title, n.body, QSystemTrayIcon::Information);
    });
    connect(delegate_.get(), &AppDelegate::quitRequested, this, &LarkspurhollowApp::quit);
    // The "Stop" action of a completion whose sound plays until dismissed.
    connect(notifier_.get(), &DBusNotifier::actionInvoked, soundManager_,
            [this](const QString& identifier, const QString& action) {
                if (action != StopActionNotifier::kStopAction) return;
                if (const auto id = json::tryParseUuid(identifier)) soundManager_->stopSoundOf(*id);
            });
    followDayChanges();
    // A completion plays a sound: get the audio output ready when the first timer starts, not
    // when it ends, so that its notification and webhook leave on time.
    connect(timerManager_, &TimerManager::timersChanged, this, [this] {
        if (audioPrepared_ || timerManager_->runningTimers().isEmpty()) return;
        audioPrepared_ = true;
        QTimer::singleShot(0, this, [] { QtAudioPlayer::prepareOutput(); });
    });
    // The due one-shots wait on the monotonic clock, which stands still while the machine sleeps.
    connect(&clockWatcher_, &ClockWatcher::wallClockMoved, timerManager_,
            &TimerManager::reevaluate);
    connect(&clockWatcher_, &ClockWatcher::wallClockMoved, focusCycle_, &FocusCycle::reevaluate);
    // The cycle ticks for the panel only while the panel shows timers moving.
    connect(timerManager_, &TimerManager::viewsVisibleChanged, focusCycle_,
            [this] { focusCycle_->setViewsVisible(timerManager_->viewsVisible()); });
    connect(&clockWatcher_, &ClockWatcher::wallClockMoved, this, [this] {
        statsManager_->refreshPeriods();
        followDayChanges();
    });
    // Also covers a session that ends the event loop on its own.
    connect(qApp, &QCoreApplication::aboutToQuit, timerManager_, &TimerManager::saveTimers);
}

LarkspurhollowApp::~LarkspurhollowApp() {
    delegate_.reset();
    delete sequenceList_;
    delete focusCycle_;
    delete webhookManager_;
    delete statsManager_;
    delete themeManager_;
    delete soundManager_;
    delete presetManager_;
    delete timerManager_;
}

void LarkspurhollowApp::followDayChanges() {
    // Today and this week move on at midnight whether or not anything is logged; the program
    // wakes for that and for nothing else at rest.
    const double now = clock_.now();
    const auto today = StatsPeriods::at(now, QLocale::system()).today;
    constexpr double kRetry = 3600;  // when the calendar cannot place now
    dayChange_ = scheduler_.after(today ? today->end - now : kRetry, [this] {
        statsManager_->refreshPeriods();
        followDayChanges();
    });
}

void LarkspurhollowApp::quit() {
    QCoreApplication::quit();
}

}  // namespace larkspur
