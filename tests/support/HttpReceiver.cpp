#include "support/HttpReceiver.h"

#include <QJsonDocument>

namespace larkspur::test {

QJsonObject HttpReceiver::Request::json() const {
    return QJsonDocument::fromJson(body).object();
}

HttpReceiver::HttpReceiver(int status) : status_(status) {
    server_.listen(QHostAddress::LocalHost);
    connect(&server_, &QTcpServer::newConnection, this, &HttpReceiver::onConnection);
}

QString HttpReceiver::url(const QString& path) const {
    return QStringLiteral("http://127.0.0.1:%1%2").arg(port()).arg(path);
}

QStringList HttpReceiver::events() const {
    QStringList out;
    for (const Request& r : requests) out << r.json().value(QStringLiteral("event")).toString();
    return out;
}

void HttpReceiver::onConnection() {
    while (QTcpSocket* socket = server_.nextPendingConnection()) {
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { onData(socket); });
        connect(socket, &QTcpSocket::disconnected, socket, [this, socket] {
            buffers_.remove(socket);
            socket->deleteLater();
        });
    }
}

void HttpReceiver::onData(QTcpSocket* socket) {
    QByteArray& buffer = buffers_[socket];
    buffer += socket->readAll();
    for (;;) {
        const qsizetype headerEnd = buffer.indexOf("\r\n\r\n");
        if (headerEnd < 0) return;
        Request request;
        const QList<QByteArray> lines = buffer.left(headerEnd).split('\n');
        const QList<QByteArray> first = lines.value(0).trimmed().split(' ');
        request.method = first.value(0);
        request.path = first.value(1);
        for (qsizetype i = 1; i < lines.size(); ++i) {
            const qsizetype colon = lines[i].indexOf(':');
            if (colon > 0)
                request.headers.insert(lines[i].left(colon).trimmed().toLower(),
                                       lines[i].mid(colon + 1).trimmed());
        }
        const qsizetype length = request.headers.value("content-length", "0").toLongLong();
        if (buffer.size() < headerEnd + 4 + length) return;
        request.body = buffer.mid(headerEnd + 4, length);
        buffer.remove(0, headerEnd + 4 + length);
        requests.append(request);
        socket->write(QByteArray("HTTP/1.1 ") + QByteArray::number(status_) +
                      " Status\r\nContent-Length: 2\r\nConnection: keep-alive\r\n\r\nok");
        Q_EMIT received();
    }
}

}  // namespace larkspur::test
