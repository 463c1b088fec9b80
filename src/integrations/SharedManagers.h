#pragma once

#include <QPointer>

namespace larkspur {

class PresetManager;
class SoundManager;
class StatsManager;
class ThemeManager;
class TimerManager;
class WebhookManager;

// The floating panel, as seen by code outside the view tree.
class PanelHost {
public:
    virtual ~PanelHost() = default;
    virtual bool isPanelVisible() const = 0;
    virtual void showPanel() = 0;  // brings it to the front
    virtual void hidePanel() = 0;
};

// The application-wide references through which URL commands, hot keys and the completion
// handler reach the managers. Each user checks for absence and then does nothing.
struct SharedManagers {
    QPointer<TimerManager> timerManager;
    QPointer<WebhookManager> webhookManager;
    QPointer<PresetManager> presetManager;
    QPointer<SoundManager> soundManager;
    QPointer<ThemeManager> themeManager;
    QPointer<StatsManager> statsManager;
    PanelHost* panel = nullptr;  // absent until launching has finished
};

}  // namespace larkspur
