#include "app/TrayIcon.h"

#include <QCursor>
#include <QGuiApplication>
#include <QScreen>

#include "app/TrayIconRenderer.h"
#include "engine/TimerManager.h"
#include "engine/TimerText.h"

namespace larkspur {

TrayIcon::TrayIcon(TimerManager& timers, QObject* parent) : QObject(parent), timers_(timers) {
    refresh();
    tray_.setContextMenu(&menu_);
    connect(&menu_, &QMenu::aboutToShow, this, &TrayIcon::rebuildMenu);
    connect(&tray_, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason r) {
        if (r == QSystemTrayIcon::Trigger || r == QSystemTrayIcon::MiddleClick)
            Q_EMIT dropDownRequested(dropDownAnchor());
    });
    connect(&timers_, &TimerManager::timersChanged, this, &TrayIcon::refresh);
}

QString TrayIcon::labelText() const {
    for (const TimerInstance* t : timers_.timers())
        if (t->state() == TimerState::Running) return t->displayTime();
    return {};
}

QPoint TrayIcon::dropDownAnchor() const {
    // Beside the icon where its place is known (XEmbed), so the tray stays visible; at the
    // pointer otherwise (StatusNotifierItem hosts do not tell).
    const QPoint pointer = QCursor::pos();
    const QRect icon = tray_.geometry();
    if (!icon.isValid()) return pointer;
    const QScreen* screen = QGuiApplication::screenAt(icon.center());
    const bool trayOnTop = !screen || icon.center().y() < screen->geometry().center().y();
    return {pointer.x(), trayOnTop ? icon.bottom() + 1 : icon.top() - 1};
}

void TrayIcon::show() {
    tray_.show();
}

bool TrayIcon::hostAvailable() {
    return QSystemTrayIcon::isSystemTrayAvailable();
}

QString TrayIcon::missingHostAdvice() {
    return QStringLiteral(
        "No system tray found, so the panel is shown instead. The icon appears by itself once "
        "an XEmbed tray runs (stalonetray, trayer, a panel's tray applet); a "
        "StatusNotifierItem/AppIndicator host (the AppIndicator extension on GNOME) is used "
        "when it runs before this program starts.");
}

void TrayIcon::refresh() {
    const QString text = labelText();
    nextChange_.cancel();
    for (const TimerInstance* t : timers_.timers()) {
        if (t->state() != TimerState::Running) continue;
        if (const auto wait = t->secondsUntilDisplayChanges())
            nextChange_ = timers_.scheduler().after(*wait, [this] { refresh(); });
        break;
    }
    if (drawn_ && text == shownText_) return;
    drawn_ = true;
    shownText_ = text;
    tray_.setIcon(TrayIconRenderer::icon(text));
    tray_.setToolTip(text.isEmpty() ? QStringLiteral("Larkspurhollow") : text);
}

void TrayIcon::rebuildMenu() {
    menu_.clear();
    const QList<TimerInstance*> running = timers_.runningTimers();
    if (running.isEmpty()) {
        menu_.addAction(tr("No running timers"))->setEnabled(false);
    }
    for (const TimerInstance* t : running) {
        const QString label = t->emojiText().isEmpty() ? oneLine(t->name())
                                                       : t->emojiText() + u' ' + oneLine(t->name());
        menu_.addAction(label + QStringLiteral("  ") + t->displayTime())->setEnabled(false);
    }
    menu_.addSeparator();
    connect(menu_.addAction(tr("Quit")), &QAction::triggered, this, &TrayIcon::quitRequested);
}

}  // namespace larkspur
