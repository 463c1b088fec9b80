#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QThread>

#include <optional>

#include "services/InstanceProtocol.h"

namespace larkspur {

class InstanceServer;

// Keeps one running instance per user. A later launch hands its URL arguments to the running
// one over a local socket and then exits; the running one receives them in arrival order. The
// same socket answers status requests (see InstanceProtocol.h).
class SingleInstance final : public QObject {
    Q_OBJECT
public:
    // Secondary: the running instance took every URL. Unconfirmed: they were sent, and no
    // answer came in time; they may still run. Undelivered: it took them, except those over
    // our limits (undelivered()). Failed: nothing was handed over, nor does this process serve.
    enum class Role { Primary, Secondary, Failed, Unconfirmed, Undelivered };
    Q_ENUM(Role)

    static constexpr int kDefaultTimeoutMs = 3000;

    // `serverName` is a plain file name, placed in $XDG_RUNTIME_DIR or, without one, in a
    // private folder <temp>/<serverName>-<uid>.
    explicit SingleInstance(QString serverName = QStringLiteral("larkspurhollow"),
                            QObject* parent = nullptr);
    ~SingleInstance() override;

    // Becomes the running instance, or hands `urls` to the one that runs. Every outcome but
    // Primary and Secondary wrote its reason to the log.
    Role claim(const QStringList& urls);
    // Only hands `urls` over, creating nothing: nothing when no instance runs.
    std::optional<Role> handOver(const QStringList& urls);
    // The socket of a running instance, with its folder checked like claim() checks it; empty
    // when there is none, and then `whyNot` says why when the folder is unsafe.
    QString locate(QString* whyNot = nullptr);

    QString socketPath() const;
    QString lockPath() const { return socketPath() + QStringLiteral(".lock"); }
    QStringList undelivered() const { return undelivered_; }

    // How long a launch waits for the running instance, from connecting to its answer.
    void setTimeout(int milliseconds) { timeoutMs_ = qMax(1, milliseconds); }
    int timeout() const { return timeoutMs_; }
    // Smaller limits for tests.
    void setLimits(const wire::Limits& limits) { limits_ = limits; }

    // The primary's answer to statusWanted(): the timers as JSON.
    void publishStatus(const QByteArray& status);

Q_SIGNALS:
    // On the main thread, in arrival order; none: a launch without URLs.
    void urlsReceived(const QStringList& urls);
    void statusWanted();
    // Whether a client follows the status, and so wants to hear of every change.
    void watchingChanged(bool watching);

private:
    // Creates `path` with mode 0700 when asked to and it is missing, then accepts it only as a
    // real folder (not a symlink) owned by this user with mode 0700.
    static bool ensurePrivateFolder(const QString& path, bool create, QString* whyNot);
    bool prepareFolder(bool create, QString* whyNot);
    bool listen();
    // Stops taking launches and hands on the batches already acknowledged.
    void stopListening();
    Role reportUndelivered() const;

    QString serverName_;
    QString folder_;
    bool folderIsFallback_ = false;
    int timeoutMs_ = kDefaultTimeoutMs;
    wire::Limits limits_;
    QStringList undelivered_;
    QThread thread_;
    InstanceServer* server_ = nullptr;
};

}  // namespace larkspur
