#pragma once

#include <QHash>
#include <QJsonObject>
#include <QObject>
#include <QSet>
#include <QUrl>
#include <QUuid>
#include <deque>
#include <optional>

#include "engine/TimerTypes.h"
#include "platform/Clock.h"
#include "platform/Scheduler.h"

class QNetworkAccessManager;
class QNetworkReply;

namespace larkspur {

class StorageManager;
class TimerInstance;

inline const QString kWebhookUrlFile = QStringLiteral("webhook-url.json");

// Announces timer events to the one address the user chose, by HTTP POST of a small JSON object.
// A receiver that is slow or silent holds only a bounded backlog: a few requests in flight and a
// hundred waiting per address, the oldest dropped beyond that and the drops told once a minute.
// Events of one timer leave one at a time, so that they arrive in order.
class WebhookManager final : public QObject {
    Q_OBJECT
    Q_PROPERTY(
        QString webhookURL READ webhookUrlText WRITE setWebhookUrlText NOTIFY webhookURLChanged)

public:
    static constexpr int kTimeoutMs = 60'000;
    static constexpr int kMaxInFlight = 6;  // per address, as many as HTTP connections run
    static constexpr qsizetype kMaxWaiting = 100;
    static constexpr double kDropReportInterval = 60;

    WebhookManager(const StorageManager& storage, const Clock& clock, Scheduler& scheduler,
                   QObject* parent = nullptr);
    // Requests still under way are abandoned.
    ~WebhookManager() override;

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
    // An event taken for sending (for tests and diagnostics).
    void requestSent(const QString& event);

private:
    struct Waiting {
        QUuid timer;
        QByteArray body;
    };
    struct Address {
        QUrl url;
        std::deque<Waiting> waiting;
        QSet<QUuid> busyTimers;  // with a request in flight
        int inFlight = 0;
    };

    QNetworkAccessManager& network();
    void send(const QString& key);
    void finished(const QString& key, const QUuid& timer, QNetworkReply* reply);
    void drop(qsizetype count);
    void reportDrops();

    const StorageManager& storage_;
    const Clock& clock_;
    Scheduler& scheduler_;
    std::optional<QString> webhookURL_;
    QNetworkAccessManager* network_ = nullptr;
    QHash<QString, Address> addresses_;
    qint64 droppedUntold_ = 0;
    TaskHandle dropReport_;
};

}  // namespace larkspur
