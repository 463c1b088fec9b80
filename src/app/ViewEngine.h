#pragma once

#include <QString>
#include <QVariantMap>
#include <memory>

#include "app/SharedManagers.h"

class QQmlEngine;
class QQuickItem;
class QQuickWindow;

namespace larkspur {

// The one QML engine of the process, made when a window first needs a view, so that a program
// that only sits in the tray never pays for it.
class ViewEngine {
public:
    explicit ViewEngine(const SharedManagers& managers);
    ~ViewEngine();
    ViewEngine(const ViewEngine&) = delete;
    ViewEngine& operator=(const ViewEngine&) = delete;

    bool isCreated() const { return engine_ != nullptr; }
    QQmlEngine& engine();

    // A view from the module ("ui/timers/MenuBarView.qml") placed in the window and sized with
    // it, given the five managers and `properties`. Null (and a line on standard output) when
    // it cannot be made.
    QQuickItem* createView(const QString& file, QQuickWindow& window,
                           const QVariantMap& properties = {}, bool fillWindow = true);

private:
    const SharedManagers& managers_;
    std::unique_ptr<QQmlEngine> engine_;
};

}  // namespace larkspur
