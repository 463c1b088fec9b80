#include "app/DropDownWindow.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QPalette>
#include <QScreen>
#include <QTimer>

#include "app/ViewEngine.h"
#include "app/WindowPlacement.h"

namespace larkspur {

namespace {
constexpr int kGrabRetries = 10;
constexpr int kGrabRetryMs = 30;
}  // namespace

DropDownWindow::DropDownWindow(ViewEngine& views, QObject* parent)
    : QObject(parent), views_(views) {}

DropDownWindow::~DropDownWindow() {
    delete content_.data();
}

bool DropDownWindow::isOpen() const {
    return window_ && window_->isVisible();
}

void DropDownWindow::openAt(const QPoint& pointer, bool isPanelVisible) {
    close();
    if (!window_) {
        window_ = std::make_unique<QQuickWindow>();
        // Not a Qt popup: those are left out of the accessibility tree. An override-redirect
        // tool window with our own grabs behaves the same and can be read by screen readers.
        window_->setFlags(Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                          Qt::X11BypassWindowManagerHint);
        window_->setTitle(QStringLiteral("Larkspurhollow"));
        window_->installEventFilter(this);
        connect(window_.get(), &QWindow::visibleChanged, this, &DropDownWindow::openChanged);
    }
    pointer_ = pointer;
    content_ = views_.createView(QStringLiteral("ui/shell/MenuBarView.qml"), *window_,
                                 {{QStringLiteral("isPanelVisible"), isPanelVisible}}, false);
    if (!content_) return;
    QQuickItem* view = content_;
    connect(view, SIGNAL(implicitWidthChanged()), this, SLOT(fitToContent()));
    connect(view, SIGNAL(implicitHeightChanged()), this, SLOT(fitToContent()));
    connect(view, SIGNAL(togglePanel()), this, SLOT(onTogglePanel()));
    connect(view, SIGNAL(openSettings()), this, SLOT(onOpenSettings()));
    connect(view, SIGNAL(showPanelTab(int)), this, SLOT(onShowPanelTab(int)));
    connect(view, SIGNAL(quit()), this, SLOT(onQuit()));
    connect(view, SIGNAL(closeRequested()), this, SLOT(close()));
    window_->setColor(QGuiApplication::palette().color(QPalette::Window));
    fitToContent();
    window_->show();
    window_->requestActivate();
    view->forceActiveFocus();
    grabInput();
}

void DropDownWindow::close() {
    if (window_) {
        window_->setMouseGrabEnabled(false);
        window_->setKeyboardGrabEnabled(false);
        window_->hide();
    }
    // Made anew at the next opening, with the panel's visibility of that moment.
    if (content_) content_->deleteLater();
    content_ = nullptr;
}

void DropDownWindow::fitToContent() {
    if (!content_ || !window_) return;
    const QSize size(qMax(1, qCeil(content_->implicitWidth())),
                     qMax(1, qCeil(content_->implicitHeight())));
    content_->setSize(size);
    QScreen* screen = QGuiApplication::screenAt(pointer_);
    if (!screen) screen = QGuiApplication::primaryScreen();
    const QRect area = screen ? screen->availableGeometry() : QRect(QPoint(), size);
    window_->setGeometry(QRect(dropDownPosition(pointer_, size, area), size));
}

void DropDownWindow::grabInput() {
    // The tray host may still hold the pointer from the click that opened us.
    auto attempt = std::make_shared<int>(0);
    auto tryGrab = std::make_shared<std::function<void()>>();
    *tryGrab = [this, attempt, tryGrab] {
        if (!isOpen()) return;
        const bool mouse = window_->setMouseGrabEnabled(true);
        const bool keys = window_->setKeyboardGrabEnabled(true);
        if ((!mouse || !keys) && ++*attempt < kGrabRetries)
            QTimer::singleShot(kGrabRetryMs, this, *tryGrab);
    };
    (*tryGrab)();
}

bool DropDownWindow::eventFilter(QObject* watched, QEvent* event) {
    if (window_ && watched == window_.get()) {
        if (event->type() == QEvent::MouseButtonPress) {
            // With the pointer grabbed, a press anywhere else arrives here, outside our bounds.
            const auto* press = static_cast<QMouseEvent*>(event);
            if (!QRectF(QPointF(), window_->size()).contains(press->position())) {
                close();
                return true;
            }
        } else if (event->type() == QEvent::Close) {
            event->ignore();
            close();
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

void DropDownWindow::onTogglePanel() {
    close();
    Q_EMIT togglePanelRequested();
}

void DropDownWindow::onOpenSettings() {
    close();
    Q_EMIT openSettingsRequested();
}

void DropDownWindow::onShowPanelTab(int tab) {
    close();
    if (const auto known = panelTabFrom(tab)) Q_EMIT panelTabRequested(*known);
}

void DropDownWindow::onQuit() {
    close();
    Q_EMIT quitRequested();
}

}  // namespace larkspur
