#pragma once

#include <QtQml/qqml.h>

#include "engine/SoundManager.h"
#include "engine/TimerInstance.h"
#include "engine/TimerManager.h"
#include "engine/TimerTypes.h"
#include "focus/FocusCycle.h"
#include "focus/StatsManager.h"
#include "integrations/WebhookManager.h"
#include "presets/Preset.h"
#include "presets/PresetManager.h"
#include "services/LoginItem.h"
#include "themes/Theme.h"
#include "themes/ThemeManager.h"
#include "ui/SequenceList.h"

// The lower layers know nothing of QML; their types are made known to the views here.
namespace larkspur::qmltypes {

struct TimerManagerType {
    Q_GADGET
    QML_FOREIGN(larkspur::TimerManager)
    QML_NAMED_ELEMENT(TimerManager)
    QML_UNCREATABLE("The application owns the one timer manager")
};

struct TimerInstanceType {
    Q_GADGET
    QML_FOREIGN(larkspur::TimerInstance)
    QML_NAMED_ELEMENT(TimerInstance)
    QML_UNCREATABLE("Timers are made by the timer manager")
};

struct PresetManagerType {
    Q_GADGET
    QML_FOREIGN(larkspur::PresetManager)
    QML_NAMED_ELEMENT(PresetManager)
    QML_UNCREATABLE("The application owns the one preset manager")
};

struct SoundManagerType {
    Q_GADGET
    QML_FOREIGN(larkspur::SoundManager)
    QML_NAMED_ELEMENT(SoundManager)
    QML_UNCREATABLE("The application owns the one sound manager")
};

struct ThemeManagerType {
    Q_GADGET
    QML_FOREIGN(larkspur::ThemeManager)
    QML_NAMED_ELEMENT(ThemeManager)
    QML_UNCREATABLE("The application owns the one theme manager")
};

struct StatsManagerType {
    Q_GADGET
    QML_FOREIGN(larkspur::StatsManager)
    QML_NAMED_ELEMENT(StatsManager)
    QML_UNCREATABLE("The application owns the one statistics manager")
};

struct SequenceListType {
    Q_GADGET
    QML_FOREIGN(larkspur::SequenceList)
    QML_NAMED_ELEMENT(SequenceList)
    QML_UNCREATABLE("The application owns the one sequence list")
};

struct FocusCycleType {
    Q_GADGET
    QML_FOREIGN(larkspur::FocusCycle)
    QML_NAMED_ELEMENT(FocusCycle)
    QML_UNCREATABLE("The application owns the one focus cycle")
};

namespace SessionType {
Q_NAMESPACE
QML_FOREIGN_NAMESPACE(larkspur::focusmeta)
QML_NAMED_ELEMENT(SessionType)
}  // namespace SessionType

struct WebhookManagerType {
    Q_GADGET
    QML_FOREIGN(larkspur::WebhookManager)
    QML_NAMED_ELEMENT(WebhookManager)
    QML_UNCREATABLE("The application owns the one webhook manager")
};

struct LoginItemType {
    Q_GADGET
    QML_FOREIGN(larkspur::LoginItem)
    QML_NAMED_ELEMENT(LoginItem)
    QML_UNCREATABLE("The application owns the one login item")
};

struct ThemeType {
    Q_GADGET
    QML_FOREIGN(larkspur::Theme)
    QML_VALUE_TYPE(theme)
};

struct PresetType {
    Q_GADGET
    QML_FOREIGN(larkspur::Preset)
    QML_VALUE_TYPE(preset)
};

// QtQml has a type named Timer already.
namespace TimerEnums {
Q_NAMESPACE
QML_FOREIGN_NAMESPACE(larkspur)
QML_NAMED_ELEMENT(TimerEnums)
}  // namespace TimerEnums

}  // namespace larkspur::qmltypes
