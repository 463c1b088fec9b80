#pragma once

#include <QtQml/qqmlregistration.h>
#include <QObject>
#include <QString>
#include <QStringList>

namespace larkspur {

// The one table from the symbol names the views use ("timer", "pause.fill", …) to glyphs of
// the Material Icons font.
class Symbols final : public QObject {
    Q_OBJECT
    QML_ELEMENT
    QML_SINGLETON
    Q_PROPERTY(QString fontFamily READ fontFamily CONSTANT)

public:
    using QObject::QObject;

    // Installs the icon font once; false when it is missing (the views then show nothing
    // where a symbol would be, rather than a wrong letter).
    static bool loadFont();
    static QString fontFamily();
    static QString fontPath();

    // The glyph for a symbol name, or an empty text for a name the table does not know.
    Q_INVOKABLE static QString glyph(const QString& name);
    static QStringList names();
};

}  // namespace larkspur
