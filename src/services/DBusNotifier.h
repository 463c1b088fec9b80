#pragma once

#include <QDBusConnection>
#include <QHash>
#include <QObject>
#include <QSet>
#include <QStringList>

#include <functional>

#include "platform/Notifier.h"

namespace larkspur {

// Posts notifications to the desktop's org.freedesktop.Notifications service without ever
// blocking the caller. A later post with the same identifier replaces the shown notification.
// Without a reachable service the notification goes to the fallback instead.
class DBusNotifier final : public QObject, public Notifier {
    Q_OBJECT
public:
    using Fallback = std::function<void(const Notification&)>;

    explicit DBusNotifier(QObject* parent = nullptr);
    explicit DBusNotifier(const QDBusConnection& bus, QObject* parent = nullptr);

    // Asks the service for its capabilities once per service instance.
    void requestPermission() override;
    void post(const Notification& notification) override;
    // `actions` holds key, label pairs; a trailing key without a label is dropped.
    void post(const Notification& notification, const QStringList& actions);

    // Receives what the service could not show. Without one, a line goes to standard output.
    void setFallback(Fallback fallback) { fallback_ = std::move(fallback); }

    bool capabilitiesKnown() const { return capabilitiesKnown_; }
    bool supportsActions() const { return supportsActions_; }
    bool supportsBody() const { return supportsBody_; }
    // The service's id of the notification shown for `identifier`, or 0 when none is shown.
    uint serverId(const QString& identifier) const { return idByIdentifier_.value(identifier); }

Q_SIGNALS:
    void actionInvoked(const QString& identifier, const QString& actionKey);
    void capabilitiesChanged();

private Q_SLOTS:
    // Slots by name: QtDBus connects signals of a remote object through the string syntax.
    void onNotificationClosed(uint id, uint reason);
    void onActionInvoked(uint id, const QString& actionKey);

private:
    struct Request {
        Notification notification;
        QStringList actions;
    };

    void send(const Request& request);
    void finished(const Request& request, uint id, bool failed);
    void remember(const QString& identifier, uint id);
    void forget(uint id);
    void queryCapabilities();
    void serviceOwnerChanged(const QString& newOwner);
    void fallBack(const Notification& notification) const;

    QDBusConnection bus_;
    Fallback fallback_;

    QHash<QString, uint> idByIdentifier_;
    QHash<uint, QString> identifierById_;
    // While a post is in flight its id is unknown; a newer post for the same identifier waits
    // for it, or it would show a second notification instead of replacing the first.
    QSet<QString> inFlight_;
    QHash<QString, Request> waiting_;

    bool capabilitiesRequested_ = false;
    bool capabilitiesKnown_ = false;
    bool supportsActions_ = false;
    bool supportsBody_ = false;
    bool supportsMarkup_ = false;
};

}  // namespace larkspur
