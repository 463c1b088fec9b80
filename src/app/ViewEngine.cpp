#include "app/ViewEngine.h"

#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickWindow>

#include "engine/SoundManager.h"
#include "engine/TimerManager.h"
#include "focus/StatsManager.h"
#include "platform/Log.h"
#include "presets/PresetManager.h"
#include "themes/ThemeManager.h"
#include "ui/Symbols.h"

void qml_register_types_Larkspurhollow();

namespace larkspur {

void ViewEngine::chooseRenderer() {
    if (qEnvironmentVariableIsSet("QT_QUICK_BACKEND") ||
        qEnvironmentVariableIsSet("QSG_RHI_BACKEND"))
        return;
    QQuickWindow::setGraphicsApi(QSGRendererInterface::Software);
}

ViewEngine::ViewEngine(const SharedManagers& managers) : managers_(managers) {}

ViewEngine::~ViewEngine() = default;

QQmlEngine& ViewEngine::engine() {
    if (!engine_) {
        static const bool registered = [] {
            qml_register_types_Larkspurhollow();
            return true;
        }();
        Q_UNUSED(registered);
        if (!Symbols::loadFont())
            logLine(QStringLiteral("Icon font missing: ") + Symbols::fontPath());
        engine_ = std::make_unique<QQmlEngine>();
        engine_->addImportPath(QStringLiteral("qrc:/"));
    }
    return *engine_;
}

QQuickItem* ViewEngine::createView(const QString& file, QQuickWindow& window,
                                   const QVariantMap& properties, bool fillWindow) {
    QQmlComponent component(&engine(), QUrl(QStringLiteral("qrc:/Larkspurhollow/") + file));
    QVariantMap all{
        {QStringLiteral("timerManager"), QVariant::fromValue(managers_.timerManager.data())},
        {QStringLiteral("presetManager"), QVariant::fromValue(managers_.presetManager.data())},
        {QStringLiteral("soundManager"), QVariant::fromValue(managers_.soundManager.data())},
        {QStringLiteral("themeManager"), QVariant::fromValue(managers_.themeManager.data())},
        {QStringLiteral("statsManager"), QVariant::fromValue(managers_.statsManager.data())},
    };
    all.insert(properties);
    QObject* object = component.isReady() ? component.createWithInitialProperties(all) : nullptr;
    auto* item = qobject_cast<QQuickItem*>(object);
    if (!item) {
        delete object;
        logLine(QStringLiteral("View error: ") + component.errorString().trimmed());
        return nullptr;
    }
    item->setParent(&window);
    item->setParentItem(window.contentItem());
    if (fillWindow) {
        item->setSize(window.size());
        QObject::connect(&window, &QWindow::widthChanged, item, &QQuickItem::setWidth);
        QObject::connect(&window, &QWindow::heightChanged, item, &QQuickItem::setHeight);
    }
    return item;
}

}  // namespace larkspur
