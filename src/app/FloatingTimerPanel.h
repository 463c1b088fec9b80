#pragma once

#include <QObject>
#include <QPointer>
#include <QQuickItem>
#include <QQuickWindow>
#include <functional>
#include <memory>

#include "integrations/SharedManagers.h"
#include "ui/PanelTab.h"

namespace larkspur {

class ViewEngine;

// The borderless panel that floats above other windows on every workspace and holds the
// floating panel view. Made hidden at launch and afterwards only shown and hidden.
class FloatingTimerPanel final : public QObject, public PanelHost {
    Q_OBJECT
public:
    static constexpr QSize kInitialSize{400, 400};
    static constexpr QSize kMinimumSize{360, 250};
    static constexpr QSize kMaximumSize{600, 800};

    // The selected tab is kept by the owner; the view reads it when built and writes it back.
    using TabReader = std::function<PanelTab()>;
    using TabWriter = std::function<void(PanelTab)>;

    FloatingTimerPanel(ViewEngine& views, TabReader readTab, TabWriter writeTab,
                       QObject* parent = nullptr);
    ~FloatingTimerPanel() override;

    bool isPanelVisible() const override;
    void showPanel() override;
    void hidePanel() override;
    void togglePanel();
    // Replaces the view with a new one (its own state starts anew). The view is made when the
    // panel is next on screen, so the engine is not started for a panel nobody opened.
    void rebuildPanelContent();

    QQuickWindow& window() { return *window_; }
    QQuickItem* content() const { return content_; }

Q_SIGNALS:
    void visibilityChanged(bool visible);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private Q_SLOTS:
    void onViewClosed();
    void onViewTabChanged();

private:
    void buildContent();

    ViewEngine& views_;
    TabReader readTab_;
    TabWriter writeTab_;
    std::unique_ptr<QQuickWindow> window_;
    QPointer<QQuickItem> content_;
    bool contentStale_ = true;
};

}  // namespace larkspur
