#pragma once

#include <QTcpServer>

namespace larkspur::test {

// An HTTP server on 127.0.0.1 that records each request and answers with `status`.
struct HttpReceiver : QObject {
    struct Request {
        QByteArray head, body;  // head: request line and headers
    };

    explicit HttpReceiver(int status = 200);
    QString url() const {
        return QStringLiteral("http://127.0.0.1:%1/hook").arg(server.serverPort());
    }

    QList<Request> requests;
    QTcpServer server;
};

}  // namespace larkspur::test
