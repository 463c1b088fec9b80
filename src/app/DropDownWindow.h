#pragma once

#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QQuickItem>
#include <QQuickWindow>
#include <memory>

#include "ui/PanelTab.h"

namespace larkspur {

class ViewEngine;

// The tray's drop-down: a borderless popup beside the pointer holding the menu-bar view,
// closed by Escape or a click elsewhere. The view is made anew at each opening.
class DropDownWindow final : public QObject {
    Q_OBJECT
public:
    explicit DropDownWindow(ViewEngine& views, QObject* parent = nullptr);
    ~DropDownWindow() override;

    void openAt(const QPoint& pointer, bool isPanelVisible);
    bool isOpen() const;
    QQuickWindow* window() const { return window_.get(); }
    QQuickItem* content() const { return content_; }

public Q_SLOTS:
    void close();

Q_SIGNALS:
    void togglePanelRequested();
    void openSettingsRequested();
    void panelTabRequested(larkspur::PanelTab tab);
    void quitRequested();
    void openChanged(bool open);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private Q_SLOTS:
    void fitToContent();
    void onTogglePanel();
    void onOpenSettings();
    void onShowPanelTab(int tab);
    void onQuit();

private:
    void grabInput();

    ViewEngine& views_;
    std::unique_ptr<QQuickWindow> window_;
    QPointer<QQuickItem> content_;
    QPoint pointer_;
};

}  // namespace larkspur
