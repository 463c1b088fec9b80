#pragma once

#include <QObject>
#include <QPointer>
#include <QQuickWindow>
#include <memory>

namespace larkspur {

class ViewEngine;

// The ordinary decorated window of the settings. A request while it is shown raises and
// activates it; once closed, the next request builds a fresh window whose view starts again on
// its first tab.
class SettingsWindow final : public QObject {
    Q_OBJECT
public:
    static constexpr QSize kInitialSize{520, 460};

    explicit SettingsWindow(ViewEngine& views, QObject* parent = nullptr);
    ~SettingsWindow() override;

    void open();
    bool isOpen() const { return window_ && window_->isVisible(); }
    QQuickWindow* window() const { return window_.get(); }

private:
    ViewEngine& views_;
    std::unique_ptr<QQuickWindow> window_;
};

}  // namespace larkspur
