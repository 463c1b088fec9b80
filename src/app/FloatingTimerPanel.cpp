#include "app/FloatingTimerPanel.h"

#include <QGuiApplication>
#include <QScreen>

#include "app/ViewEngine.h"
#include "app/WindowPlacement.h"
#include "services/WindowHints.h"

namespace larkspur {

FloatingTimerPanel::FloatingTimerPanel(ViewEngine& views, TabReader readTab, TabWriter writeTab,
                                       QObject* parent)
    : QObject(parent),
      views_(views),
      readTab_(std::move(readTab)),
      writeTab_(std::move(writeTab)),
      window_(std::make_unique<QQuickWindow>()) {
    QQuickWindow& w = *window_;
    w.setFlags(Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    w.setTitle(QStringLiteral("Larkspurhollow"));
    QSurfaceFormat format = w.format();
    format.setAlphaBufferSize(8);
    w.setFormat(format);
    w.setColor(Qt::transparent);
    // The panel comes up over other windows without taking the keyboard from the one the user
    // types in (X11: a user time of 0 on mapping); a click into it still gives it the focus.
    w.setProperty("_q_showWithoutActivating", true);
    w.setMinimumSize(kMinimumSize);
    w.setMaximumSize(kMaximumSize);
    w.resize(kInitialSize);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        w.setPosition(
            panelFirstPosition(screen->geometry(), screen->availableGeometry(), kInitialSize));
    w.create();
    showOnAllWorkspaces(w);
    w.installEventFilter(this);
    connect(&w, &QWindow::visibleChanged, this, &FloatingTimerPanel::visibilityChanged);
}

FloatingTimerPanel::~FloatingTimerPanel() {
    delete content_.data();
}

bool FloatingTimerPanel::isPanelVisible() const {
    return window_->isVisible();
}

void FloatingTimerPanel::showPanel() {
    if (contentStale_) buildContent();
    if (!window_->isVisible()) {
        window_->show();
        showOnAllWorkspaces(*window_);
    }
    window_->raise();
}

void FloatingTimerPanel::hidePanel() {
    window_->hide();
}

void FloatingTimerPanel::togglePanel() {
    if (isPanelVisible())
        hidePanel();
    else
        showPanel();
}

void FloatingTimerPanel::rebuildPanelContent() {
    contentStale_ = true;
    if (window_->isVisible()) buildContent();
}

void FloatingTimerPanel::buildContent() {
    contentStale_ = false;
    delete content_.data();
    const QVariantMap properties{{QStringLiteral("selectedTab"), int(readTab_())}};
    content_ =
        views_.createView(QStringLiteral("ui/shell/FloatingPanelView.qml"), *window_, properties);
    if (!content_) return;
    QQuickItem* view = content_;
    connect(view, SIGNAL(closeRequested()), this, SLOT(onViewClosed()));
    connect(view, SIGNAL(selectedTabChanged()), this, SLOT(onViewTabChanged()));
    view->setFocus(true);
}

void FloatingTimerPanel::onViewClosed() {
    hidePanel();
}

void FloatingTimerPanel::onViewTabChanged() {
    if (!content_) return;
    if (const auto tab = panelTabFrom(content_->property("selectedTab").toInt())) writeTab_(*tab);
}

bool FloatingTimerPanel::eventFilter(QObject* watched, QEvent* event) {
    // A window manager's close only hides the panel: it lives as long as the program.
    if (watched == window_.get() && event->type() == QEvent::Close) {
        event->ignore();
        hidePanel();
        return true;
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace larkspur
