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

WebhookManager::WebhookManager(const StorageManager& storage, const Clock& clock, QObject* parent)
    : QObject(parent), storage_(storage), clock_(clock) {
    std::optional<QString> loaded;
    if (auto stored = storage_.load<std::optional<QString>>(kWebhookUrlFile)) loaded = *stored;
    setWebhookURL(loaded);
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

    QNetworkRequest request(url);
    request.setHeader(QNetworkRequest::ContentTypeHeader, QStringLiteral("application/json"));
    request.setTransferTimeout(kTimeoutMs);
    const QByteArray body =
        QJsonDocument(payload(event, timer, clock_.now())).toJson(QJsonDocument::Compact);
    QNetworkReply* reply = network().post(request, body);
    connect(reply, &QNetworkReply::finished, reply, [reply] {
        // An answer with any HTTP status counts as delivered; only transport failures are told.
        const bool answered = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).isValid();
        if (reply->error() != QNetworkReply::NoError && !answered)
            logLine(QStringLiteral("Webhook error: ") + reply->errorString());
        reply->deleteLater();
    });
    Q_EMIT requestSent(event);
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
