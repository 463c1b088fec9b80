#include "app/AppDelegate.h"

#include <QGuiApplication>

#include "app/DropDownWindow.h"
#include "app/FloatingTimerPanel.h"
#include "app/SettingsWindow.h"
#include "app/TrayIcon.h"
#include "engine/SoundManager.h"
#include "engine/TimerManager.h"
#include "integrations/WebhookManager.h"
#include "platform/Log.h"

namespace larkspur {

AppDelegate::AppDelegate(SharedManagers& shared, ViewContext& views, QObject* parent)
    : QObject(parent), managers_(shared), urlHandler_(shared), hotKeys_(shared), views_(views) {}

AppDelegate::~AppDelegate() {
    managers_.panel = nullptr;
    // A window going away still announces its visibility, after the drop-down is already gone.
    if (panel_) panel_->disconnect(this);
    if (dropDown_) dropDown_->disconnect(this);
}

void AppDelegate::applicationDidFinishLaunching() {
    if (launched_) return;
    QPointer<AppDelegate> self(this);
    ViewEngine::chooseRenderer();
    panel_ = std::make_unique<FloatingTimerPanel>(
        views_, [self] { return self ? self->selectedPanelTab_ : PanelTab::Timers; },
        [self](PanelTab tab) {
            if (self) self->selectedPanelTab_ = tab;
        });
    managers_.panel = panel_.get();
    rebuildPanelContent();
    dropDown_ = std::make_unique<DropDownWindow>(views_);
    connect(dropDown_.get(), &DropDownWindow::togglePanelRequested, this,
            &AppDelegate::togglePanel);
    connect(dropDown_.get(), &DropDownWindow::panelTabRequested, this, &AppDelegate::showPanelTab);
    connect(dropDown_.get(), &DropDownWindow::openSettingsRequested, this,
            &AppDelegate::openSettings);
    connect(dropDown_.get(), &DropDownWindow::quitRequested, this, &AppDelegate::quitRequested);
    // Timers tick ten times a second only while a window shows them.
    connect(panel_.get(), &FloatingTimerPanel::visibilityChanged, this,
            &AppDelegate::updateViewsVisible);
    connect(dropDown_.get(), &DropDownWindow::openChanged, this, &AppDelegate::updateViewsVisible);
    updateViewsVisible();
    if (TimerManager* timers = managers_.timerManager) {
        timers->setOnTimerCompleted([this](TimerInstance* t) { onTimerCompleted(t); });
        // Only now, with the handler in place, may a restored timer reach its end.
        timers->continueRestoredTimers();
        tray_ = std::make_unique<TrayIcon>(*timers);
        connect(tray_.get(), &TrayIcon::quitRequested, this, &AppDelegate::quitRequested);
        connect(tray_.get(), &TrayIcon::dropDownRequested, this, &AppDelegate::toggleDropDown);
        tray_->show();
        // Without a tray the panel is the only way in; without a display there is none to offer.
        if (!TrayIcon::hostAvailable() && QGuiApplication::platformName() != u"offscreen") {
            logLine(TrayIcon::missingHostAdvice());
            panel_->showPanel();
        }
    }
    hotKeys_.registerHotKey();
    launched_ = true;
    const QStringList waiting = std::exchange(pendingUrls_, {});
    urlHandler_.handleURLs(waiting);
    if (std::exchange(panelWanted_, false)) showPanel();
}

void AppDelegate::updateViewsVisible() {
    if (TimerManager* timers = managers_.timerManager)
        timers->setViewsVisible((panel_ && panel_->isPanelVisible()) ||
                                (dropDown_ && dropDown_->isOpen()));
}

void AppDelegate::togglePanel() {
    if (panel_) panel_->togglePanel();
}

void AppDelegate::showPanel() {
    if (!launched_) {
        panelWanted_ = true;
        return;
    }
    if (panel_) panel_->showPanel();
}

void AppDelegate::showPanelTab(PanelTab tab) {
    selectedPanelTab_ = tab;
    rebuildPanelContent();
    if (panel_) panel_->showPanel();
}

void AppDelegate::rebuildPanelContent() {
    if (panel_) panel_->rebuildPanelContent();
}

void AppDelegate::openSettings() {
    if (!settings_) settings_ = std::make_unique<SettingsWindow>(views_);
    settings_->open();
}

void AppDelegate::toggleDropDown(const QPoint& pointer) {
    if (!dropDown_) return;
    if (dropDown_->isOpen()) {
        dropDown_->close();
        return;
    }
    dropDown_->openAt(pointer, panel_ && panel_->isPanelVisible());
}

void AppDelegate::openURLs(const QStringList& urls) {
    if (!launched_) {
        pendingUrls_ += urls;
        return;
    }
    urlHandler_.handleURLs(urls);
}

void AppDelegate::onTimerCompleted(TimerInstance* timer) {
    if (WebhookManager* webhooks = managers_.webhookManager)
        webhooks->fire(QStringLiteral("timer.completed"), *timer);
    // The only place a timer's completion sound starts; it remembers whose sound it is. Opening
    // a sound takes milliseconds, so it starts on the next pass, after the notification that
    // follows this handler has gone out.
    if (QPointer<SoundManager> sounds = managers_.soundManager.data()) {
        QMetaObject::invokeMethod(
            sounds,
            [sounds, config = timer->soundConfig(), id = timer->id()] {
                if (sounds) sounds->play(config, id);
            },
            Qt::QueuedConnection);
    }
}

}  // namespace larkspur
