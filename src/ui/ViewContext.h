#pragma once

#include <QtQml/qqmlregistration.h>
#include <QObject>
#include <QPointer>

class QJSEngine;
class QQmlEngine;

namespace larkspur {

class DesktopDialogs;
class FocusCycle;
class LoginItem;
struct Preset;
class TimerInstance;
class Preferences;
class PresetManager;
class SequenceList;
class SoundManager;
class StatsManager;
class ThemeManager;
class TimerManager;
class WebhookManager;

// The one way the views reach the application's objects: the QML singleton `App`. The shell
// installs it before the first view is made; views never receive managers as properties.
class ViewContext final : public QObject {
    Q_OBJECT
    QML_NAMED_ELEMENT(App)
    QML_SINGLETON
    Q_PROPERTY(larkspur::TimerManager* timerManager READ timerManager NOTIFY changed)
    Q_PROPERTY(larkspur::PresetManager* presetManager READ presetManager NOTIFY changed)
    Q_PROPERTY(larkspur::SoundManager* soundManager READ soundManager NOTIFY changed)
    Q_PROPERTY(larkspur::ThemeManager* themeManager READ themeManager NOTIFY changed)
    Q_PROPERTY(larkspur::StatsManager* statsManager READ statsManager NOTIFY changed)
    Q_PROPERTY(larkspur::WebhookManager* webhookManager READ webhookManager NOTIFY changed)
    Q_PROPERTY(larkspur::FocusCycle* focusCycle READ focusCycle NOTIFY changed)
    Q_PROPERTY(larkspur::SequenceList* sequenceList READ sequenceList NOTIFY changed)
    Q_PROPERTY(larkspur::LoginItem* loginItem READ loginItem NOTIFY changed)
    Q_PROPERTY(larkspur::Preferences* preferences READ preferences NOTIFY changed)
    Q_PROPERTY(larkspur::DesktopDialogs* dialogs READ dialogs NOTIFY changed)

public:
    struct Parts {
        TimerManager* timerManager = nullptr;
        PresetManager* presetManager = nullptr;
        SoundManager* soundManager = nullptr;
        ThemeManager* themeManager = nullptr;
        StatsManager* statsManager = nullptr;
        WebhookManager* webhookManager = nullptr;
        FocusCycle* focusCycle = nullptr;
        SequenceList* sequenceList = nullptr;
        LoginItem* loginItem = nullptr;
        Preferences* preferences = nullptr;
        DesktopDialogs* dialogs = nullptr;
    };

    // No default constructor: the QML engine would make its own instead of asking create().
    explicit ViewContext(QObject* parent);
    ~ViewContext() override;

    void setParts(const Parts& parts);

    // The context every QML engine gets from now on; it stays owned by the caller.
    static void install(ViewContext* context);
    // Called by the QML engine for the singleton.
    static ViewContext* create(QQmlEngine* qmlEngine, QJSEngine* jsEngine);

    // The preset's countdown, appended and saved but not started; null without a timer manager.
    Q_INVOKABLE larkspur::TimerInstance* createTimerFromPreset(const larkspur::Preset& preset);

    TimerManager* timerManager() const;
    PresetManager* presetManager() const;
    SoundManager* soundManager() const;
    ThemeManager* themeManager() const;
    StatsManager* statsManager() const;
    WebhookManager* webhookManager() const;
    FocusCycle* focusCycle() const;
    SequenceList* sequenceList() const;
    LoginItem* loginItem() const;
    Preferences* preferences() const;
    DesktopDialogs* dialogs() const;

Q_SIGNALS:
    void changed();

private:
    QPointer<TimerManager> timerManager_;
    QPointer<PresetManager> presetManager_;
    QPointer<SoundManager> soundManager_;
    QPointer<ThemeManager> themeManager_;
    QPointer<StatsManager> statsManager_;
    QPointer<WebhookManager> webhookManager_;
    QPointer<FocusCycle> focusCycle_;
    QPointer<SequenceList> sequenceList_;
    QPointer<LoginItem> loginItem_;
    QPointer<Preferences> preferences_;
    QPointer<DesktopDialogs> dialogs_;
};

}  // namespace larkspur
