#include "app/ViewEngine.h"

#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickWindow>

#include "platform/Log.h"
#include "ui/Symbols.h"
#include "ui/ViewContext.h"

void qml_register_types_Larkspurhollow();

namespace larkspur {

void ViewEngine::chooseRenderer() {
    if (qEnvironmentVariableIsSet("QT_QUICK_BACKEND") ||
        qEnvironmentVariableIsSet("QSG_RHI_BACKEND"))
        return;
    QQuickWindow::setGraphicsApi(QSGRendererInterface::Software);
}

ViewEngine::ViewEngine(ViewContext& context) : context_(context) {}

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
        ViewContext::install(&context_);
        engine_ = std::make_unique<QQmlEngine>();
        engine_->addImportPath(QStringLiteral("qrc:/"));
    }
    return *engine_;
}

QQuickItem* ViewEngine::createView(const QString& file, QQuickWindow& window,
                                   const QVariantMap& properties, bool fillWindow) {
    QQmlComponent component(&engine(), QUrl(QStringLiteral("qrc:/Larkspurhollow/") + file));
    QObject* object =
        component.isReady() ? component.createWithInitialProperties(properties) : nullptr;
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
