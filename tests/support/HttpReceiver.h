#pragma once

#include <QHash>
#include <QJsonObject>
#include <QList>
#include <QTcpServer>
#include <QTcpSocket>

namespace larkspur::test {

// A small HTTP/1.1 server on 127.0.0.1 that records every request and answers with `status`.
class HttpReceiver : public QObject {
    Q_OBJECT
public:
    struct Request {
        QByteArray method;
        QByteArray path;
        QHash<QByteArray, QByteArray> headers;  // lower-case names
        QByteArray body;
        QJsonObject json() const;
    };

    explicit HttpReceiver(int status = 200);
    QString url(const QString& path = QStringLiteral("/hook")) const;
    quint16 port() const { return server_.serverPort(); }
    QList<Request> requests;
    QStringList events() const;  // the "event" of each JSON body, in arrival order

Q_SIGNALS:
    void received();

private:
    void onConnection();
    void onData(QTcpSocket* socket);

    int status_;
    // Before the server: its sockets still reach the buffers while it is destroyed.
    QHash<QTcpSocket*, QByteArray> buffers_;
    QTcpServer server_;
};

}  // namespace larkspur::test
