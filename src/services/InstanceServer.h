#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QStringList>

#include <unordered_map>

#include "services/InstanceProtocol.h"

class QLocalServer;
class QLocalSocket;

namespace larkspur {

// The listening end of the single-instance socket. It lives on a thread of its own, so that a
// main loop busy with a long batch still takes and acknowledges the next launch's URLs at once.
class InstanceServer final : public QObject {
    Q_OBJECT
public:
    // Clients still sending their request; one more pushes out the oldest of them.
    static constexpr int kMaxWaiting = 32;
    static constexpr int kMaxWatchers = 32;
    // A watcher that stops reading is let go once this much waits for it.
    static constexpr qsizetype kMaxBacklogBytes = 4 * 1024 * 1024;

    explicit InstanceServer(wire::Limits limits = {}) : limits_(limits) {}
    ~InstanceServer() override;

    bool listen(const QString& path, QString* whyNot);
    // Drops every client and removes the socket.
    void close();
    // The timers as JSON, for the clients that asked and the watchers it is news to.
    void publish(const QByteArray& status);

Q_SIGNALS:
    // A launch handed over these URLs (none: it was launched without any).
    void urlsReceived(const QStringList& urls);
    void statusWanted();
    void watchingChanged(bool watching);

private:
    // Request: still sending; Status: waits for its answer; Done: on its way out.
    enum class Stage { Request, Status, Watch, Done };
    struct Peer {
        Stage stage = Stage::Request;
        QByteArray buffer;
        QStringList urls;
        qsizetype urlBytes = 0;
        QByteArray lastSent;
    };

    void accept();
    void read(QLocalSocket* socket);
    // Takes one frame of a request; false when the client broke the protocol.
    bool take(QLocalSocket* socket, Peer& peer, char kind, const QByteArray& payload);
    void askForStatus();
    void send(QLocalSocket* socket, Peer& peer, const QByteArray& status);
    void forget(QLocalSocket* socket);
    void drop(QLocalSocket* socket);

    wire::Limits limits_;
    QLocalServer* server_ = nullptr;
    // Unlike QHash, keeps a peer in place while another one leaves.
    std::unordered_map<QLocalSocket*, Peer> peers_;
    QList<QLocalSocket*> waiting_;   // oldest first
    QList<QLocalSocket*> watchers_;  // oldest first
    bool statusWanted_ = false;      // asked for and not yet published
    QElapsedTimer askedAt_;
};

}  // namespace larkspur
