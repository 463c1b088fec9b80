#pragma once

#include <QObject>
#include <QStringList>
#include <memory>

#include "app/HotKeys.h"
#include "app/SharedManagers.h"
#include "integrations/UrlCommandHandler.h"

namespace larkspur {

class TrayIcon;

// Finishes start-up once launching is done and receives the URLs opened by other programs.
class AppDelegate final : public QObject {
    Q_OBJECT
public:
    explicit AppDelegate(SharedManagers& shared, QObject* parent = nullptr);
    ~AppDelegate() override;

    static AppDelegate* shared() { return shared_; }
    bool hasFinishedLaunching() const { return launched_; }
    TrayIcon* trayIcon() const { return tray_.get(); }

    void applicationDidFinishLaunching();
    // URLs that arrive before launching has finished wait for it, in arrival order.
    void openURLs(const QStringList& urls);

Q_SIGNALS:
    void quitRequested();

private:
    void onTimerCompleted(class TimerInstance* timer);

    static AppDelegate* shared_;
    SharedManagers& managers_;
    UrlCommandHandler urlHandler_;
    HotKeys hotKeys_;
    std::unique_ptr<TrayIcon> tray_;
    QStringList pendingUrls_;
    bool launched_ = false;
};

}  // namespace larkspur
