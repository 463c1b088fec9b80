#include "integrations/WebhookManager.h"

#include <QDateTime>
#include <QJsonDocument>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QUrl>
#include <cmath>

#include "engine/TimerInstance.h"
#include "platform/Log.h"
#include "storage/StorageManager.h"

namespace larkspur {

WebhookManager::WebhookManager(const StorageManager& storage, const Clock& clock,
                               Scheduler& scheduler, QObject* parent)
    : QObject(parent), storage_(storage), clock_(clock), scheduler_(scheduler) {
    std::optional<QString> loaded;
    if (auto stored = storage_.load<std::optional<QString>>(kWebhookUrlFile)) loaded = *stored;
    setWebhookURL(loaded);
}

WebhookManager::~WebhookManager() {
    // Quitting does not wait for a receiver that never answers; the timers themselves are saved
    // apart from this, so only these notifications go.
    qsizetype unanswered = 0;
    for (const Address& address : std::as_const(addresses_))
        unanswered += address.inFlight + qsizetype(address.waiting.size());
    if (unanswered > 0)
        logLine(QStringLiteral("Webhook: quitting without waiting for %1 unanswered event(s)")
                    .arg(unanswered));
    if (!network_) return;
    const QList<QNetworkReply*> replies = network_->findChildren<QNetworkReply*>();
    for (QNetworkReply* reply : replies) {
        reply->disconnect(this);
        reply->abort();
    }
}

void WebhookManager::setWebhookURL(std::optional<QString> url) {
    const bool changed = url != webhookURL_;
    webhookURL_ = std::move(url);
    storage_.save(webhookURL_, kWebhookUrlFile);
    if (changed) Q_EMIT webhookURLChanged();
}

void WebhookManager::setWebhookUrlText(const QString& text) {
    setWebhookURL(text.isEmpty() ? std::nullopt : std::optional<QString>(text));
}

QJsonObject WebhookManager::payload(const QString& event, const TimerData& timer, double now) {
    // Whole seconds, rounded down.
    const QString stamp = dateTimeAt(now, Qt::UTC).toString(Qt::ISODate);
    return QJsonObject{{QStringLiteral("event"), event},
                       {QStringLiteral("timer_name"), timer.name},
                       {QStringLiteral("timer_duration"), timer.totalDuration},
                       {QStringLiteral("timer_emoji"), timer.emoji.value_or(QString())},
                       {QStringLiteral("timestamp"), stamp}};
}

TimerData WebhookManager::testTimer(double now) {
    TimerData t;
    t.id = QUuid::createUuid();
    t.name = QStringLiteral("Test Timer");
    t.totalDuration = 300;
    t.emoji = QStringLiteral("\U0001F9EA");
    t.createdAt = now;
    return t;
}

void WebhookManager::fire(const QString& event, const TimerInstance& timer) {
    fire(event, timer.data());
}

void WebhookManager::fire(const QString& event, const TimerData& timer) {
    if (!webhookURL_ || webhookURL_->isEmpty()) return;
    const QUrl url(*webhookURL_, QUrl::StrictMode);
    if (!url.isValid()) return;
    const QString scheme = url.scheme().toLower();
    if (scheme != QLatin1String("http") && scheme != QLatin1String("https")) {
        logLine(QStringLiteral("Webhook error: unsupported URL \"%1\"").arg(*webhookURL_));
        return;
    }
    if (url.host().isEmpty()) {
        logLine(QStringLiteral("Webhook error: no host in URL \"%1\"").arg(*webhookURL_));
        return;
    }

    const QByteArray body =
        QJsonDocument(payload(event, timer, clock_.now())).toJson(QJsonDocument::Compact);
    const QString key = url.toString();
    Address& address = addresses_[key];
    address.url = url;
    address.waiting.push_back({timer.id, body});
    Q_EMIT requestSent(event);
    send(key);
    if (const qsizetype over = qsizetype(address.waiting.size()) - kMaxWaiting; over > 0) {
        address.waiting.erase(address.waiting.begin(), address.waiting.begin() + over);
        drop(over);
    }
}

void WebhookManager::send(const QString& key) {
    Address& address = addresses_[key];
    for (auto it = address.waiting.begin();
         it != address.waiting.end() && address.inFlight < kMaxInFlight;) {
        if (address.busyTimers.contains(it->timer)) {
            ++it;
            continue;
        }
        QNetworkRequest request(address.url);
        request.setHeader(QNetworkRequest::ContentTypeHeader, QStringLiteral("application/json"));
        request.setTransferTimeout(kTimeoutMs);
        QNetworkReply* reply = network().post(request, it->body);
        const QUuid timer = it->timer;
        address.busyTimers.insert(timer);
        ++address.inFlight;
        it = address.waiting.erase(it);
        connect(reply, &QNetworkReply::finished, this,
                [this, key, timer, reply] { finished(key, timer, reply); });
    }
}

void WebhookManager::finished(const QString& key, const QUuid& timer, QNetworkReply* reply) {
    // An answer with any HTTP status counts as delivered; only transport failures are told.
    const bool answered = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).isValid();
    if (reply->error() != QNetworkReply::NoError && !answered)
        logLine(QStringLiteral("Webhook error: ") + reply->errorString());
    reply->deleteLater();
    Address& address = addresses_[key];
    --address.inFlight;
    address.busyTimers.remove(timer);
    send(key);
    if (address.inFlight == 0 && address.waiting.empty()) addresses_.remove(key);
}

void WebhookManager::drop(qsizetype count) {
    droppedUntold_ += count;
    // The first drop is told at once, later ones once a minute in one line.
    if (!dropReport_.isActive()) {
        reportDrops();
        dropReport_ = scheduler_.every(kDropReportInterval, [this] { reportDrops(); });
    }
}

void WebhookManager::reportDrops() {
    if (droppedUntold_ == 0) {
        dropReport_.cancel();
        return;
    }
    logLine(QStringLiteral("Webhook error: the receiver does not keep up, %1 event(s) dropped")
                .arg(droppedUntold_));
    droppedUntold_ = 0;
}

void WebhookManager::sendTest() {
    fire(QStringLiteral("timer.test"), testTimer(clock_.now()));
}

QNetworkAccessManager& WebhookManager::network() {
    // Made on first use so that a program without webhooks never loads the network stack.
    if (!network_) network_ = new QNetworkAccessManager(this);
    return *network_;
}

}  // namespace larkspur
