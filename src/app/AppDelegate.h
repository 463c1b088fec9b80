#pragma once

#include <QObject>
#include <QStringList>
#include <memory>

#include "app/HotKeys.h"
#include "app/ViewEngine.h"
#include "integrations/SharedManagers.h"
#include "integrations/UrlCommandHandler.h"
#include "ui/PanelTab.h"

namespace larkspur {

class FloatingTimerPanel;
class TrayIcon;
class ViewContext;
class DropDownWindow;
class SettingsWindow;

// Finishes start-up once launching is done and receives the URLs opened by other programs.
class AppDelegate final : public QObject {
    Q_OBJECT
public:
    AppDelegate(SharedManagers& shared, ViewContext& views, QObject* parent = nullptr);
    ~AppDelegate() override;

    TrayIcon* trayIcon() const { return tray_.get(); }
    SettingsWindow* settingsWindow() const { return settings_.get(); }
    FloatingTimerPanel* panel() const { return panel_.get(); }
    DropDownWindow* dropDown() const { return dropDown_.get(); }

    // The floating panel's tab. It outlives the panel's view, so a rebuilt view opens where the
    // user left it.
    PanelTab selectedPanelTab() const { return selectedPanelTab_; }
    void togglePanel();
    // A launch without URLs (from the application menu) asks for the panel; before launching
    // has finished, it opens once it has.
    void showPanel();
    void showPanelTab(PanelTab tab);
    void rebuildPanelContent();
    void openSettings();
    // Opens the tray's drop-down beside the pointer, or closes it when it is open.
    void toggleDropDown(const QPoint& pointer);

    void applicationDidFinishLaunching();
    // URLs that arrive before launching has finished wait for it, in arrival order.
    void openURLs(const QStringList& urls);

Q_SIGNALS:
    void quitRequested();

private:
    void onTimerCompleted(class TimerInstance* timer);
    void updateViewsVisible();

    SharedManagers& managers_;
    UrlCommandHandler urlHandler_;
    HotKeys hotKeys_;
    ViewEngine views_;
    std::unique_ptr<FloatingTimerPanel> panel_;
    std::unique_ptr<DropDownWindow> dropDown_;
    std::unique_ptr<SettingsWindow> settings_;
    std::unique_ptr<TrayIcon> tray_;
    PanelTab selectedPanelTab_ = PanelTab::Timers;
    QStringList pendingUrls_;
    bool launched_ = false;
    bool panelWanted_ = false;
};

}  // namespace larkspur
