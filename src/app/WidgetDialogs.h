#pragma once

#include "ui/DesktopDialogs.h"

class QDialog;

namespace larkspur {

// The toolkit's own colour and file dialogs as real top-level windows, modal to the view's
// window. Where the desktop offers portal dialogs, the file chooser is the portal's.
class WidgetDialogs final : public DesktopDialogs {
    Q_OBJECT

public:
    using DesktopDialogs::DesktopDialogs;

    void chooseColor(const QColor& initial, const QString& title, QQuickItem* over,
                     const QJSValue& chosen) override;
    void chooseSoundFile(const QString& title, QQuickItem* over, const QJSValue& chosen) override;

private:
    // Modal to `over`'s window, closed with it, and gone once closed.
    static void openOver(QDialog* dialog, QQuickItem* over);
};

}  // namespace larkspur
