#include "app/SettingsWindow.h"

#include <QGuiApplication>
#include <QQuickItem>
#include <QScreen>

#include "app/ViewEngine.h"

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
    // The previous window (and its view) goes; the new one starts from the first tab.
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
    w.show();
    w.raise();
    w.requestActivate();
}

}  // namespace larkspur
