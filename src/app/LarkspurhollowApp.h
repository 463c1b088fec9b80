#pragma once

#include <QObject>
#include <memory>

#include "app/AppDelegate.h"
#include "app/WidgetDialogs.h"
#include "integrations/SharedManagers.h"
#include "platform/Clock.h"
#include "platform/QtScheduler.h"
#include "services/ClockWatcher.h"
#include "services/LoginItem.h"
#include "storage/StorageManager.h"
#include "ui/Preferences.h"
#include "ui/ViewContext.h"

namespace larkspur {

class DBusNotifier;
class FocusCycle;
class SequenceList;
class PresetManager;
class SoundManager;
class StopActionNotifier;
class StatsManager;
class ThemeManager;
class TimerManager;
class WebhookManager;

// The composition root: makes the platform services and the managers, in their fixed order, and
// lives as long as the process.
class LarkspurhollowApp final : public QObject {
    Q_OBJECT
public:
    explicit LarkspurhollowApp(QObject* parent = nullptr);
    ~LarkspurhollowApp() override;

    AppDelegate& delegate() { return *delegate_; }
    TimerManager& timerManager() { return *timerManager_; }
    PresetManager& presetManager() { return *presetManager_; }
    SoundManager& soundManager() { return *soundManager_; }
    ThemeManager& themeManager() { return *themeManager_; }
    StatsManager& statsManager() { return *statsManager_; }
    WebhookManager& webhookManager() { return *webhookManager_; }

    // The one way out, for the Quit command and for termination signals alike.
    void quit();
    // Refreshes the statistics' day and week at each midnight; call again after the wall clock
    // moved.
    void followDayChanges();

private:
    SystemClock clock_;
    QtScheduler scheduler_;
    StorageManager storage_{QString(), StorageManager::Writes::Background};
    std::unique_ptr<DBusNotifier> notifier_;
    std::unique_ptr<StopActionNotifier> timerNotifier_;
    SharedManagers shared_;
    LoginItem loginItem_;
    ClockWatcher clockWatcher_;
    Preferences preferences_{&storage_};
    WidgetDialogs dialogs_;
    ViewContext views_{nullptr};
    std::unique_ptr<AppDelegate> delegate_;
    TimerManager* timerManager_ = nullptr;
    PresetManager* presetManager_ = nullptr;
    SoundManager* soundManager_ = nullptr;
    ThemeManager* themeManager_ = nullptr;
    StatsManager* statsManager_ = nullptr;
    WebhookManager* webhookManager_ = nullptr;
    FocusCycle* focusCycle_ = nullptr;
    SequenceList* sequenceList_ = nullptr;
    TaskHandle dayChange_;
    bool audioPrepared_ = false;
};

}  // namespace larkspur
