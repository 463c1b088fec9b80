#pragma once

#include <QObject>
#include <QString>
#include <optional>

namespace larkspur {

inline const QString kLoginItemFailurePrefix = QStringLiteral("Failed to update launch at login: ");

// Starting the program at login, as an XDG autostart entry of the user's own.
// Not final: the QML type registration derives from it.
class LoginItem : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool status READ status NOTIFY statusChanged)
    Q_PROPERTY(QString lastError READ lastError NOTIFY lastErrorChanged)

public:
    explicit LoginItem(QObject* parent = nullptr);
    // `programPath` is what the entry starts; empty means the running program.
    explicit LoginItem(QString programPath, QObject* parent = nullptr);

    // $XDG_CONFIG_HOME/autostart/larkspurhollow.desktop, with ~/.config when that is unset.
    static QString entryPath();
    // The Exec value that starts `program`, or nothing when no entry can express it.
    static std::optional<QString> execValue(const QString& program);

    // The entry exists and is not hidden.
    bool status() const;
    // Each reports a failure as one line on standard output and returns false.
    Q_INVOKABLE bool registerItem();
    Q_INVOKABLE bool unregisterItem();
    Q_INVOKABLE bool update(bool enabled) { return enabled ? registerItem() : unregisterItem(); }
    // The description of the last failure; empty after a success.
    QString lastError() const { return lastError_; }

Q_SIGNALS:
    void statusChanged();
    void lastErrorChanged();

private:
    QString program() const;
    bool finish(bool statusBefore, const QString& error);

    QString programPath_;
    QString lastError_;
};

}  // namespace larkspur
