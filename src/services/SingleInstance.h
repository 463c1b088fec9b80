#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>

#include <optional>

class QLocalServer;
class QLocalSocket;

namespace larkspur {

// Keeps one running instance per user. A later launch hands its URL arguments to the running
// one over a local socket and then exits; the running one receives them in arrival order.
class SingleInstance final : public QObject {
    Q_OBJECT
public:
    enum class Role { Primary, Secondary, Failed };
    Q_ENUM(Role)

    static constexpr qsizetype kMaxBatchBytes = 64 * 1024;
    static constexpr qsizetype kMaxUrls = 1000;
    static constexpr int kDefaultTimeoutMs = 3000;

    // `serverName` is a plain file name, placed in $XDG_RUNTIME_DIR or, without one, in a
    // private folder <temp>/<serverName>-<uid>.
    explicit SingleInstance(QString serverName = QStringLiteral("larkspurhollow"),
                            QObject* parent = nullptr);
    ~SingleInstance() override;

    // Secondary: a running instance took `urls`, and this process should exit 0.
    // Primary: this process now serves later launches. Failed: neither is possible; the reason
    // went to the log.
    Role claim(const QStringList& urls);

    QString socketPath() const;
    QString lockPath() const { return socketPath() + QStringLiteral(".lock"); }

    // How long a secondary waits for the acknowledgement, and how long the primary lets a
    // connected client take to deliver its batch.
    void setTimeout(int milliseconds) { timeoutMs_ = qMax(1, milliseconds); }

    // Frame of one batch: a 4-byte big-endian length, then the URLs as UTF-8, one per line.
    static QByteArray encodeBatch(const QStringList& urls);
    // The URLs of a frame's payload, or nothing when it is malformed.
    static std::optional<QStringList> decodeBatch(const QByteArray& payload);
    static constexpr char kAck = '\x06';

Q_SIGNALS:
    void urlsReceived(const QStringList& urls);

private:
    // Creates `path` with mode 0700 when asked to and it is missing, then accepts it only as a
    // real folder (not a symlink) owned by this user with mode 0700.
    static bool ensurePrivateFolder(const QString& path, bool create, QString* whyNot);
    bool prepareFolder();
    Role handOver(QLocalSocket& socket, const QStringList& urls);
    bool listen();
    void acceptClients();
    void readFrom(QLocalSocket* socket);
    void drop(QLocalSocket* socket);

    QString serverName_;
    QString folder_;
    bool folderIsFallback_ = false;
    int timeoutMs_ = kDefaultTimeoutMs;
    QLocalServer* server_ = nullptr;
    int clients_ = 0;
};

}  // namespace larkspur
