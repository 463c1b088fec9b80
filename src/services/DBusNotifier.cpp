#include "services/DBusNotifier.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusServiceWatcher>
#include <QVariantMap>

#include "platform/Log.h"

namespace larkspur {

namespace {

const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");
const QString kInterface = QStringLiteral("org.freedesktop.Notifications");
const QString kAppName = QStringLiteral("Larkspurhollow");
const QString kIcon = QStringLiteral("larkspurhollow");
const QString kDesktopEntry = QStringLiteral("larkspurhollow");
// A hung service must not keep a notification from reaching the fallback for long.
constexpr int kCallTimeoutMs = 5000;

// D-Bus strings cannot carry NUL.
QString clean(QString text) {
    return text.remove(QChar(u'\0'));
}

QString escapeMarkup(QString text) {
    text.replace(u'&', QStringLiteral("&amp;"));
    text.replace(u'<', QStringLiteral("&lt;"));
    text.replace(u'>', QStringLiteral("&gt;"));
    return text;
}

}  // namespace

DBusNotifier::DBusNotifier(QObject* parent) : DBusNotifier(QDBusConnection::sessionBus(), parent) {}

DBusNotifier::DBusNotifier(const QDBusConnection& bus, QObject* parent)
    : QObject(parent), bus_(bus) {
    if (!bus_.isConnected()) return;
    bus_.connect(kService, kPath, kInterface, QStringLiteral("NotificationClosed"), this,
                 SLOT(onNotificationClosed(uint, uint)));
    bus_.connect(kService, kPath, kInterface, QStringLiteral("ActionInvoked"), this,
                 SLOT(onActionInvoked(uint, QString)));
    auto* watcher =
        new QDBusServiceWatcher(kService, bus_, QDBusServiceWatcher::WatchForOwnerChange, this);
    connect(watcher, &QDBusServiceWatcher::serviceOwnerChanged, this,
            [this](const QString&, const QString&, const QString& newOwner) {
                serviceOwnerChanged(newOwner);
            });
}

void DBusNotifier::requestPermission() {
    if (capabilitiesRequested_ || !bus_.isConnected()) return;
    capabilitiesRequested_ = true;
    queryCapabilities();
}

void DBusNotifier::queryCapabilities() {
    const QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kInterface,
                                                             QStringLiteral("GetCapabilities"));
    auto* watcher = new QDBusPendingCallWatcher(bus_.asyncCall(call, kCallTimeoutMs), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* w) {
        w->deleteLater();
        const QDBusPendingReply<QStringList> reply = *w;
        if (reply.isError()) return;
        const QStringList capabilities = reply.value();
        capabilitiesKnown_ = true;
        supportsActions_ = capabilities.contains(QStringLiteral("actions"));
        supportsBody_ = capabilities.contains(QStringLiteral("body"));
        supportsMarkup_ = capabilities.contains(QStringLiteral("body-markup"));
        Q_EMIT capabilitiesChanged();
    });
}

void DBusNotifier::serviceOwnerChanged(const QString& newOwner) {
    // Ids belong to the service instance that issued them.
    idByIdentifier_.clear();
    identifierById_.clear();
    const bool wasKnown = capabilitiesKnown_;
    capabilitiesKnown_ = supportsActions_ = supportsBody_ = supportsMarkup_ = false;
    if (wasKnown) Q_EMIT capabilitiesChanged();
    if (!newOwner.isEmpty() && capabilitiesRequested_) queryCapabilities();
}

void DBusNotifier::post(const Notification& notification) {
    post(notification, {});
}

void DBusNotifier::post(const Notification& notification, const QStringList& actions) {
    if (!bus_.isConnected()) {
        fallBack(notification);
        return;
    }
    Request request{notification, actions};
    if (request.actions.size() % 2 != 0) request.actions.removeLast();
    const QString& identifier = notification.identifier;
    if (!identifier.isEmpty() && inFlight_.contains(identifier)) {
        waiting_.insert(identifier, request);
        return;
    }
    send(request);
}

void DBusNotifier::send(const Request& request) {
    const Notification& n = request.notification;
    QString summary = clean(n.title);
    QString body = clean(n.body);
    if (capabilitiesKnown_ && !supportsBody_ && !body.isEmpty()) {
        summary = summary.isEmpty() ? body : summary + QStringLiteral(": ") + body;
    }
    // Text from the user is plain; a service that reads markup would otherwise drop "<" or "&".
    if (supportsMarkup_) body = escapeMarkup(body);
    QStringList actions;
    for (const QString& action : request.actions) actions.append(clean(action));
    const QVariantMap hints{{QStringLiteral("desktop-entry"), kDesktopEntry}};

    QDBusMessage call =
        QDBusMessage::createMethodCall(kService, kPath, kInterface, QStringLiteral("Notify"));
    call << kAppName << serverId(n.identifier) << kIcon << summary << body << actions << hints
         << qint32(-1);

    if (!n.identifier.isEmpty()) inFlight_.insert(n.identifier);
    auto* watcher = new QDBusPendingCallWatcher(bus_.asyncCall(call, kCallTimeoutMs), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, request](QDBusPendingCallWatcher* w) {
                w->deleteLater();
                const QDBusPendingReply<uint> reply = *w;
                if (reply.isError()) {
                    qWarning("Notification service failed: %s",
                             qPrintable(reply.error().message()));
                    finished(request, 0, true);
                } else {
                    finished(request, reply.value(), false);
                }
            });
}

void DBusNotifier::finished(const Request& request, uint id, bool failed) {
    const QString& identifier = request.notification.identifier;
    inFlight_.remove(identifier);
    if (failed) {
        fallBack(request.notification);
    } else {
        remember(identifier, id);
    }
    const auto next = waiting_.constFind(identifier);
    if (next != waiting_.cend()) {
        const Request waiting = *next;
        waiting_.erase(next);
        send(waiting);
    }
}

void DBusNotifier::remember(const QString& identifier, uint id) {
    if (id == 0) return;
    // A replacement may come back under a new id; the old one is then gone.
    if (const uint old = idByIdentifier_.value(identifier); old != 0 && old != id) forget(old);
    // The service may hand out an id again once its earlier notification has closed.
    forget(id);
    identifierById_.insert(id, identifier);
    if (!identifier.isEmpty()) idByIdentifier_.insert(identifier, id);
}

void DBusNotifier::forget(uint id) {
    const auto it = identifierById_.constFind(id);
    if (it == identifierById_.cend()) return;
    if (idByIdentifier_.value(*it) == id) idByIdentifier_.remove(*it);
    identifierById_.erase(it);
}

void DBusNotifier::onNotificationClosed(uint id, uint) {
    forget(id);
}

void DBusNotifier::onActionInvoked(uint id, const QString& actionKey) {
    const auto it = identifierById_.constFind(id);
    if (it == identifierById_.cend()) return;
    Q_EMIT actionInvoked(*it, actionKey);
}

void DBusNotifier::fallBack(const Notification& notification) const {
    if (fallback_) {
        fallback_(notification);
    } else {
        logLine(QStringLiteral("Notification: ") + notification.title + QStringLiteral(": ") +
                notification.body);
    }
}

}  // namespace larkspur
