#include "support/HttpReceiver.h"

#include <QRegularExpression>
#include <QTcpSocket>

namespace larkspur::test {

HttpReceiver::HttpReceiver(int status) {
    server.listen(QHostAddress::LocalHost);
    connect(&server, &QTcpServer::newConnection, this, [this, status] {
        while (QTcpSocket* socket = server.nextPendingConnection()) {
            connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            connect(socket, &QTcpSocket::readyRead, this, [this, socket, status] {
                static const QRegularExpression length("content-length: *(\\d+)",
                                                       QRegularExpression::CaseInsensitiveOption);
                for (;;) {
                    const QByteArray data = socket->peek(socket->bytesAvailable());
                    const qsizetype end = data.indexOf("\r\n\r\n");
                    const int size =
                        length.match(QString::fromLatin1(data.left(end))).captured(1).toInt();
                    if (end < 0 || data.size() < end + 4 + size) return;
                    requests.append({data.left(end), socket->read(end + 4 + size).mid(end + 4)});
                    socket->write("HTTP/1.1 " + QByteArray::number(status) +
                                  " S\r\nContent-Length: 0\r\n\r\n");
                }
            });
        }
    });
}

}  // namespace larkspur::test
