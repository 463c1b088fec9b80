#pragma once

#include <QtQml/qqmlregistration.h>
#include <QColor>
#include <QJSValue>
#include <QObject>
#include <QQuickItem>

namespace larkspur {

// Pickers the views cannot draw inside their own windows: a colour dialog and a sound file
// chooser, each a window of its own above the view's window. The shell provides the real ones.
class DesktopDialogs : public QObject {
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("The application provides the dialogs")

public:
    using QObject::QObject;

    // `chosen` receives the accepted colour as opaque "#RRGGBB"; nothing when cancelled or once
    // `over` is gone.
    Q_INVOKABLE virtual void chooseColor(const QColor& initial, const QString& title,
                                         QQuickItem* over, const QJSValue& chosen) = 0;
    // `chosen` receives the URL of one existing MP3, WAV, AIFF or M4A file.
    Q_INVOKABLE virtual void chooseSoundFile(const QString& title, QQuickItem* over,
                                             const QJSValue& chosen) = 0;
};

}  // namespace larkspur
