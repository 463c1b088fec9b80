#pragma once

#include <QtQml/qqmlregistration.h>
#include <QObject>
#include <optional>

namespace larkspur {

namespace PanelTabs {
Q_NAMESPACE
QML_NAMED_ELEMENT(PanelTab)

// The floating panel's tabs, in their order on screen. Views and windows name a tab by this,
// never by its label, which is a translatable text.
enum class PanelTab { Timers, Focus, Sequences, Stats };
Q_ENUM_NS(PanelTab)
}  // namespace PanelTabs

using PanelTabs::PanelTab;

// A tab handed over from a view as a number; anything else is no tab.
inline std::optional<PanelTab> panelTabFrom(int value) {
    if (value < int(PanelTab::Timers) || value > int(PanelTab::Stats)) return std::nullopt;
    return PanelTab(value);
}

}  // namespace larkspur
