#include "app/WidgetDialogs.h"

#include <QColorDialog>
#include <QDir>
#include <QFileDialog>
#include <QPointer>
#include <QQuickItem>
#include <QQuickWindow>
#include <QStandardPaths>

namespace larkspur {

void WidgetDialogs::openOver(QDialog* dialog, QQuickItem* over) {
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    if (over && over->window()) {
        dialog->winId();  // the native window exists before it is tied to the view's
        dialog->windowHandle()->setTransientParent(over->window());
        connect(over, &QObject::destroyed, dialog, &QWidget::close);
    }
    dialog->setWindowModality(Qt::WindowModal);
    dialog->show();
    dialog->raise();
    dialog->activateWindow();
}

void WidgetDialogs::chooseColor(const QColor& initial, const QString& title, QQuickItem* over,
                                const QJSValue& chosen) {
    auto* dialog = new QColorDialog(initial.isValid() ? initial.toRgb() : QColor(Qt::white));
    dialog->setWindowTitle(title);
    connect(dialog, &QColorDialog::colorSelected, this,
            [item = QPointer<QQuickItem>(over), chosen](const QColor& colour) mutable {
                if (!item || !chosen.isCallable()) return;
                // Without the alpha-channel option the dialog has no opacity; drop any anyway.
                chosen.call({QJSValue(colour.toRgb().name(QColor::HexRgb).toUpper())});
            });
    openOver(dialog, over);
}

void WidgetDialogs::chooseSoundFile(const QString& title, QQuickItem* over,
                                    const QJSValue& chosen) {
    auto* dialog = new QFileDialog(nullptr, title);
    dialog->setFileMode(QFileDialog::ExistingFile);
    dialog->setAcceptMode(QFileDialog::AcceptOpen);
    dialog->setNameFilter(tr("Sound files (*.mp3 *.wav *.aiff *.m4a)"));
    const QString music = QStandardPaths::writableLocation(QStandardPaths::MusicLocation);
    dialog->setDirectory(QDir(music).exists() ? music : QDir::homePath());
    connect(dialog, &QFileDialog::fileSelected, this,
            [item = QPointer<QQuickItem>(over), chosen](const QString& path) mutable {
                if (item && chosen.isCallable())
                    chosen.call({QJSValue(QUrl::fromLocalFile(path).toString())});
            });
    openOver(dialog, over);
}

}  // namespace larkspur
