#pragma once

#include <QMenu>
#include <QObject>
#include <QSystemTrayIcon>

#include "platform/Scheduler.h"

namespace larkspur {

class TimerManager;

// The permanent tray presence: the time of the first running timer, or the stopwatch symbol.
// It wakes exactly when that text changes, once a second while a timer runs, never at rest.
class TrayIcon final : public QObject {
    Q_OBJECT
public:
    TrayIcon(TimerManager& timers, QObject* parent = nullptr);

    // The text the icon shows now; empty for the symbol.
    QString labelText() const;
    QString shownText() const { return shownText_; }
    // Where the drop-down opens: next to the icon's edge that faces the screen.
    QPoint dropDownAnchor() const;
    QSystemTrayIcon& trayIcon() { return tray_; }
    void show();

    // Whether the desktop has a tray to show the icon in. On X11 a tray that starts later still
    // gets a shown icon: Qt watches for it. A D-Bus host is looked for only once per process.
    static bool hostAvailable();
    // The log line for a desktop without one: what is missing and how to get it.
    static QString missingHostAdvice();

Q_SIGNALS:
    void quitRequested();
    // A click on the icon: the drop-down opens at the pointer.
    void dropDownRequested(const QPoint& pointer);

private:
    void refresh();
    void rebuildMenu();

    TimerManager& timers_;
    TaskHandle nextChange_;
    QSystemTrayIcon tray_;
    QMenu menu_;
    QString shownText_;
    bool drawn_ = false;
};

}  // namespace larkspur
