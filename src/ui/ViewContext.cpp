#include "ui/ViewContext.h"

#include <QJSEngine>

#include "engine/SoundManager.h"
#include "engine/TimerManager.h"
#include "focus/FocusCycle.h"
#include "focus/StatsManager.h"
#include "integrations/WebhookManager.h"
#include "presets/Preset.h"
#include "presets/PresetManager.h"
#include "services/LoginItem.h"
#include "themes/ThemeManager.h"
#include "ui/DesktopDialogs.h"
#include "ui/Preferences.h"
#include "ui/SequenceList.h"

namespace larkspur {

namespace {
QPointer<ViewContext> installed;
}

ViewContext::ViewContext(QObject* parent) : QObject(parent) {}

ViewContext::~ViewContext() = default;

TimerManager* ViewContext::timerManager() const {
    return timerManager_;
}

PresetManager* ViewContext::presetManager() const {
    return presetManager_;
}

SoundManager* ViewContext::soundManager() const {
    return soundManager_;
}

ThemeManager* ViewContext::themeManager() const {
    return themeManager_;
}

StatsManager* ViewContext::statsManager() const {
    return statsManager_;
}

WebhookManager* ViewContext::webhookManager() const {
    return webhookManager_;
}

FocusCycle* ViewContext::focusCycle() const {
    return focusCycle_;
}

SequenceList* ViewContext::sequenceList() const {
    return sequenceList_;
}

LoginItem* ViewContext::loginItem() const {
    return loginItem_;
}

Preferences* ViewContext::preferences() const {
    return preferences_;
}

DesktopDialogs* ViewContext::dialogs() const {
    return dialogs_;
}

void ViewContext::setParts(const Parts& parts) {
    timerManager_ = parts.timerManager;
    presetManager_ = parts.presetManager;
    soundManager_ = parts.soundManager;
    themeManager_ = parts.themeManager;
    statsManager_ = parts.statsManager;
    webhookManager_ = parts.webhookManager;
    focusCycle_ = parts.focusCycle;
    sequenceList_ = parts.sequenceList;
    loginItem_ = parts.loginItem;
    preferences_ = parts.preferences;
    dialogs_ = parts.dialogs;
    Q_EMIT changed();
}

void ViewContext::install(ViewContext* context) {
    installed = context;
}

TimerInstance* ViewContext::createTimerFromPreset(const Preset& preset) {
    return timerManager_ ? createTimer(*timerManager_, preset) : nullptr;
}

ViewContext* ViewContext::create(QQmlEngine*, QJSEngine*) {
    // Without an installed context (a view loaded on its own) the views see no managers.
    if (!installed) return new ViewContext(nullptr);
    QJSEngine::setObjectOwnership(installed, QJSEngine::CppOwnership);
    return installed;
}

}  // namespace larkspur
