#include "app/SettingsWindow.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QQuickItem>
#include <QScreen>

#include "app/FreedMemory.h"
#include "app/ViewEngine.h"
#include "platform/Log.h"

namespace larkspur {

SettingsWindow::SettingsWindow(ViewEngine& views, QObject* parent)
    : QObject(parent), views_(views) {}

SettingsWindow::~SettingsWindow() = default;

void SettingsWindow::open() {
    if (isOpen()) {
        window_->raise();
        window_->requestActivate();
        return;
    }
    QElapsedTimer sinceRequest;
    sinceRequest.start();
    // A fresh window and view each time, starting from the first tab.
    window_ = std::make_unique<QQuickWindow>();
    QQuickWindow& w = *window_;
    w.setFlags(Qt::Window);
    w.setTitle(tr("Larkspurhollow Settings"));
    w.resize(kInitialSize);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect frame({}, kInitialSize);
        frame.moveCenter(screen->availableGeometry().center());
        w.setPosition(frame.topLeft());
    }
    if (!views_.createView(QStringLiteral("ui/settings/SettingsView.qml"), w)) {
        window_.reset();
        return;
    }
    // A closed window gives its view's memory back at once rather than at the next opening,
    // and the allocator hands the freed pages to the system: the program lives for weeks.
    connect(&w, &QWindow::visibleChanged, this, [this](bool visible) {
        if (visible || !window_) return;
        QQuickWindow* closed = window_.release();
        connect(closed, &QObject::destroyed, [] { returnFreedMemory(); });
        closed->deleteLater();
    });
    if (qEnvironmentVariableIsSet("LARKSPUR_TRACE_FRAMES")) {
        connect(
            &w, &QQuickWindow::frameSwapped, this,
            [sinceRequest] {
                logLine(QStringLiteral("Settings window: first frame %1 ms after the request")
                            .arg(double(sinceRequest.nsecsElapsed()) / 1e6, 0, 'f', 1));
            },
            Qt::SingleShotConnection);
    }
    w.show();
    w.raise();
    w.requestActivate();
}

}  // namespace larkspur
