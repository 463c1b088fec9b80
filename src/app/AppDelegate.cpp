#include "app/AppDelegate.h"

#include "app/TrayIcon.h"
#include "engine/SoundManager.h"
#include "engine/TimerManager.h"
#include "integrations/WebhookManager.h"

namespace larkspur {

AppDelegate* AppDelegate::shared_ = nullptr;

AppDelegate::AppDelegate(SharedManagers& shared, QObject* parent)
    : QObject(parent), managers_(shared), urlHandler_(shared), hotKeys_(shared) {}

AppDelegate::~AppDelegate() {
    if (shared_ == this) shared_ = nullptr;
}

void AppDelegate::applicationDidFinishLaunching() {
    if (launched_) return;
    shared_ = this;
    if (TimerManager* timers = managers_.timerManager) {
        timers->setOnTimerCompleted([this](TimerInstance* t) { onTimerCompleted(t); });
        // Only now, with the handler in place, may a restored timer reach its end.
        timers->continueRestoredTimers();
        tray_ = std::make_unique<TrayIcon>(*timers);
        connect(tray_.get(), &TrayIcon::quitRequested, this, &AppDelegate::quitRequested);
        tray_->show();
    }
    hotKeys_.registerHotKey();
    launched_ = true;
    const QStringList waiting = std::exchange(pendingUrls_, {});
    urlHandler_.handleURLs(waiting);
}

void AppDelegate::openURLs(const QStringList& urls) {
    if (!launched_) {
        pendingUrls_ += urls;
        return;
    }
    urlHandler_.handleURLs(urls);
}

void AppDelegate::onTimerCompleted(TimerInstance* timer) {
    // The only place a timer's completion sound starts; it remembers whose sound it is.
    if (SoundManager* sounds = managers_.soundManager)
        sounds->play(timer->soundConfig(), timer->id());
    if (WebhookManager* webhooks = managers_.webhookManager)
        webhooks->fire(QStringLiteral("timer.completed"), *timer);
}

}  // namespace larkspur
