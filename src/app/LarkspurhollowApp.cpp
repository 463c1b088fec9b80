#include "app/LarkspurhollowApp.h"

#include <QApplication>

#include "app/TrayIcon.h"
#include "engine/TimerManager.h"
#include "focus/StatsManager.h"
#include "integrations/WebhookManager.h"
#include "platform/DBusNotifier.h"
#include "presets/PresetManager.h"
#include "themes/ThemeManager.h"

namespace larkspur {

LarkspurhollowApp::LarkspurhollowApp(QObject* parent)
    : QObject(parent), notifier_(std::make_unique<DBusNotifier>()) {
    delegate_ = std::make_unique<AppDelegate>(shared_);
    // The order is fixed: each manager loads its files as it is made.
    timerManager_ = new TimerManager(storage_, clock_, scheduler_, *notifier_, this);
    presetManager_ = new PresetManager(storage_, this);
    themeManager_ = new ThemeManager(storage_, this);
    statsManager_ = new StatsManager(storage_, clock_, this);
    webhookManager_ = new WebhookManager(storage_, clock_, this);
    shared_.timerManager = timerManager_;
    shared_.presetManager = presetManager_;
    shared_.themeManager = themeManager_;
    shared_.statsManager = statsManager_;
    shared_.webhookManager = webhookManager_;

    notifier_->setFallback([this](const Notification& n) {
        if (TrayIcon* tray = delegate_->trayIcon())
            tray->trayIcon().showMessage(n.title, n.body, QSystemTrayIcon::Information);
    });
    connect(delegate_.get(), &AppDelegate::quitRequested, this, &LarkspurhollowApp::quit);
    // Today and this week move on at midnight whether or not anything is logged.
    connect(timerManager_, &TimerManager::tickChanged, statsManager_,
            &StatsManager::refreshPeriods);
    // Also covers a session that ends the event loop on its own.
    connect(qApp, &QCoreApplication::aboutToQuit, timerManager_, &TimerManager::saveTimers);
}

LarkspurhollowApp::~LarkspurhollowApp() {
    delegate_.reset();
    delete webhookManager_;
    delete statsManager_;
    delete themeManager_;
    delete presetManager_;
    delete timerManager_;
}

void LarkspurhollowApp::quit() {
    QCoreApplication::quit();
}

}  // namespace larkspur
