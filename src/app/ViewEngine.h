#pragma once

#include <QString>
#include <QVariantMap>
#include <memory>

class QQmlEngine;
class QQuickItem;
class QQuickWindow;

namespace larkspur {

class ViewContext;

// The one QML engine of the process, made when a window first needs a view, so that a program
// that only sits in the tray never pays for it.
class ViewEngine {
public:
    explicit ViewEngine(ViewContext& context);
    ~ViewEngine();
    ViewEngine(const ViewEngine&) = delete;
    ViewEngine& operator=(const ViewEngine&) = delete;

    // Draws the views with Qt Quick's software renderer unless the user chose one: these few
    // small windows redraw a little text each second, which costs far less CPU and memory
    // (no GL context) than a full OpenGL frame, above all without a GPU. Call before the first
    // window is made.
    static void chooseRenderer();

    bool isCreated() const { return engine_ != nullptr; }
    QQmlEngine& engine();

    // A view from the module ("ui/shell/MenuBarView.qml") placed in the window and sized with
    // it, given `properties`. Null (and a line on standard output) when
    // it cannot be made.
    QQuickItem* createView(const QString& file, QQuickWindow& window,
                           const QVariantMap& properties = {}, bool fillWindow = true);

private:
    ViewContext& context_;
    std::unique_ptr<QQmlEngine> engine_;
};

}  // namespace larkspur
