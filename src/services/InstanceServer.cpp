#include "services/InstanceServer.h"

#include <QLocalServer>
#include <QLocalSocket>
#include <QPointer>
#include <QTimer>

#include <algorithm>

namespace larkspur {

InstanceServer::~InstanceServer() {
    close();
}

bool InstanceServer::listen(const QString& path, QString* whyNot) {
    auto* server = new QLocalServer(this);
    server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!server->listen(path)) {
        if (whyNot) *whyNot = server->errorString();
        delete server;
        return false;
    }
    server_ = server;
    connect(server_, &QLocalServer::newConnection, this, &InstanceServer::accept);
    return true;
}

void InstanceServer::close() {
    for (auto& [socket, peer] : std::exchange(peers_, {})) {
        socket->disconnect(this);
        delete socket;
    }
    waiting_.clear();
    watchers_.clear();
    delete std::exchange(server_, nullptr);
}

void InstanceServer::accept() {
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
        // A full house must not lock out a real launch: the longest waiting is the likeliest
        // to be stuck.
        if (waiting_.size() >= kMaxWaiting) drop(waiting_.first());
        peers_.emplace(socket, Peer{});
        waiting_.append(socket);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { read(socket); });
        // Queued: a socket may disconnect inside a call that still works on its peer.
        connect(
            socket, &QLocalSocket::disconnected, this,
            [this, socket, alive = QPointer(socket)] {
                forget(socket);
                if (alive) alive->deleteLater();
            },
            Qt::QueuedConnection);
        QTimer::singleShot(limits_.requestMs, socket, [this, socket] {
            if (waiting_.contains(socket)) drop(socket);
        });
        read(socket);
    }
}

void InstanceServer::read(QLocalSocket* socket) {
    const auto found = peers_.find(socket);
    if (found == peers_.end()) return;
    Peer& peer = found->second;
    if (peer.stage != Stage::Request) {
        socket->readAll();  // nothing more is asked of a client once it made its request
        return;
    }
    peer.buffer += socket->readAll();
    while (peer.buffer.size() >= wire::kHeaderBytes) {
        const quint32 length = wire::payloadLength(peer.buffer.constData());
        if (length > quint32(limits_.frameBytes)) return drop(socket);
        const qsizetype end = wire::kHeaderBytes + qsizetype(length);
        if (peer.buffer.size() < end) return;
        const char kind = peer.buffer.at(0);
        const QByteArray payload = peer.buffer.mid(wire::kHeaderBytes, length);
        peer.buffer.remove(0, end);
        if (!take(socket, peer, kind, payload)) return drop(socket);
        if (peer.stage != Stage::Request) return;
    }
}

bool InstanceServer::take(QLocalSocket* socket, Peer& peer, char kind, const QByteArray& payload) {
    switch (kind) {
        case wire::kUrls: {
            const std::optional<QStringList> urls = wire::decodeUrls(payload);
            peer.urlBytes += payload.size();
            if (!urls || peer.urlBytes > limits_.batchBytes ||
                peer.urls.size() + urls->size() > limits_.urls)
                return false;
            peer.urls += *urls;
            return true;
        }
        case wire::kEnd:
            waiting_.removeOne(socket);
            peer.stage = Stage::Done;
            // Acknowledged once read, before the URLs run: the main loop may be busy for long.
            socket->putChar(wire::kAck);
            socket->flush();
            Q_EMIT urlsReceived(std::exchange(peer.urls, {}));
            socket->disconnectFromServer();
            return true;
        case wire::kStatus:
            waiting_.removeOne(socket);
            peer.stage = Stage::Status;
            askForStatus();
            return true;
        case wire::kWatch:
            waiting_.removeOne(socket);
            if (watchers_.size() >= kMaxWatchers) drop(watchers_.first());
            peer.stage = Stage::Watch;
            watchers_.append(socket);
            if (watchers_.size() == 1) Q_EMIT watchingChanged(true);
            askForStatus();
            return true;
        default:
            return false;
    }
}

void InstanceServer::askForStatus() {
    // One answer serves everyone who asks before it comes. A question left unanswered for long
    // is asked again, so that no later client waits on it forever.
    if (statusWanted_ && !askedAt_.hasExpired(limits_.requestMs)) return;
    statusWanted_ = true;
    askedAt_.start();
    Q_EMIT statusWanted();
}

void InstanceServer::publish(const QByteArray& status) {
    statusWanted_ = false;
    QList<QLocalSocket*> asked;
    for (const auto& [socket, peer] : peers_) {
        if (peer.stage == Stage::Status || peer.stage == Stage::Watch) asked << socket;
    }
    // Sending may drop a watcher, so each is looked up again.
    for (QLocalSocket* socket : asked) {
        if (const auto found = peers_.find(socket); found != peers_.end())
            send(socket, found->second, status);
    }
}

void InstanceServer::send(QLocalSocket* socket, Peer& peer, const QByteArray& status) {
    if (peer.stage == Stage::Watch) {
        if (status == peer.lastSent) return;
        if (socket->bytesToWrite() > kMaxBacklogBytes) return drop(socket);
        peer.lastSent = status;
        socket->write(wire::frame(wire::kReply, status));
        socket->flush();
        return;
    }
    peer.stage = Stage::Done;
    socket->write(wire::frame(wire::kReply, status));
    socket->disconnectFromServer();
}

void InstanceServer::forget(QLocalSocket* socket) {
    const auto found = peers_.find(socket);
    if (found == peers_.end()) return;
    const bool asked = found->second.stage == Stage::Status || found->second.stage == Stage::Watch;
    peers_.erase(found);
    waiting_.removeOne(socket);
    if (watchers_.removeOne(socket) && watchers_.isEmpty()) Q_EMIT watchingChanged(false);
    // A client that gave up on the answer may have given up on a lost question: the ones still
    // waiting are asked for again, and with none left the next client asks afresh.
    if (asked && statusWanted_) {
        statusWanted_ = false;
        if (std::any_of(peers_.begin(), peers_.end(), [](const auto& entry) {
                return entry.second.stage == Stage::Status || entry.second.stage == Stage::Watch;
            }))
            askForStatus();
    }
}

void InstanceServer::drop(QLocalSocket* socket) {
    forget(socket);
    socket->disconnect(this);
    socket->abort();
    socket->deleteLater();
}

}  // namespace larkspur
