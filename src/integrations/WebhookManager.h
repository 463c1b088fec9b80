#pragma once

#include <QJsonObject>
#include <QObject>
#include <optional>

#include "engine/TimerTypes.h"
#include "platform/Clock.h"

class QNetworkAccessManager;

namespace larkspur {

class StorageManager;
class TimerInstance;

inline const QString kWebhookUrlFile = QStringLiteral("webhook-url.json");

// Announces timer events to the one address the user chose, by HTTP POST of a small JSON object.
class WebhookManager final : public QObject {
    Q_OBJECT
    Q_PROPERTY(
        QString webhookURL READ webhookUrlText WRITE setWebhookUrlText NOTIFY webhookURLChanged)

public:
    static constexpr int kTimeoutMs = 60'000;

    WebhookManager(const StorageManager& storage, const Clock& clock, QObject* parent = nullptr);

    const std::optional<QString>& webhookURL() const { return webhookURL_; }
    // Every assignment is written at once, even when the value does not change.
    void setWebhookURL(std::optional<QString> url);
    QString webhookUrlText() const { return webhookURL_.value_or(QString()); }
    // The settings field: an empty text means no address.
    void setWebhookUrlText(const QString& text);

    void fire(const QString& event, const TimerInstance& timer);
    void fire(const QString& event, const TimerData& timer);
    Q_INVOKABLE void sendTest();

    static QJsonObject payload(const QString& event, const TimerData& timer, double now);
    static TimerData testTimer(double now);

Q_SIGNALS:
    void webhookURLChanged();
    // A request left for the network (for tests and diagnostics).
    void requestSent(const QString& event);

private:
    QNetworkAccessManager& network();

    const StorageManager& storage_;
    const Clock& clock_;
    std::optional<QString> webhookURL_;
    QNetworkAccessManager* network_ = nullptr;
};

}  // namespace larkspur
