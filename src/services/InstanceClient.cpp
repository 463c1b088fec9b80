#include "services/InstanceClient.h"

#include <QFile>
#include <QThread>

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <cerrno>
#include <cstring>

#include "services/InstanceProtocol.h"

namespace larkspur {

namespace {

QString errnoText(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

}  // namespace

InstanceClient::~InstanceClient() {
    close();
}

void InstanceClient::close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
}

InstanceClient::Connect InstanceClient::connectTo(const QString& path, QDeadlineTimer deadline) {
    close();
    const QByteArray native = QFile::encodeName(path);
    sockaddr_un address = {};
    address.sun_family = AF_UNIX;
    if (native.isEmpty() || native.size() >= qsizetype(sizeof(address.sun_path))) {
        error_ = QStringLiteral("socket path is too long: ") + path;
        return Connect::Failed;
    }
    std::memcpy(address.sun_path, native.constData(), size_t(native.size()));
    for (;;) {
        fd_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
        if (fd_ < 0) {
            error_ = QStringLiteral("cannot make a socket: ") + errnoText(errno);
            return Connect::Failed;
        }
        if (::connect(fd_, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0)
            return Connect::Connected;
        const int error = errno;
        close();
        if (error == ENOENT || error == ECONNREFUSED) return Connect::NoServer;
        // EAGAIN: the listener's queue is full, it is busy accepting others.
        if (error != EAGAIN && error != EINTR) {
            error_ = QStringLiteral("cannot connect to %1: %2").arg(path, errnoText(error));
            return Connect::Failed;
        }
        if (deadline.hasExpired()) {
            error_ = QStringLiteral("the socket %1 stayed busy; no connection in time").arg(path);
            return Connect::Failed;
        }
        QThread::msleep(5);
    }
}

bool InstanceClient::waitFor(short events, QDeadlineTimer deadline) {
    for (;;) {
        pollfd entry = {fd_, events, 0};
        const qint64 left = deadline.remainingTime();  // -1: forever
        const int ready = ::poll(&entry, 1, left < 0 ? -1 : int(qMin<qint64>(left, 1 << 30)));
        if (ready > 0) return true;
        if (ready == 0) return false;
        if (errno != EINTR) return false;
    }
}

bool InstanceClient::write(const QByteArray& bytes, QDeadlineTimer deadline) {
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t sent =
            ::send(fd_, bytes.constData() + done, size_t(bytes.size() - done), MSG_NOSIGNAL);
        if (sent > 0) {
            done += sent;
            continue;
        }
        if (sent < 0 && errno != EAGAIN && errno != EINTR) {
            error_ = QStringLiteral("the connection broke: ") + errnoText(errno);
            return false;
        }
        if (!waitFor(POLLOUT, deadline)) {
            error_ = QStringLiteral("the running program did not read what was sent in time");
            return false;
        }
    }
    return true;
}

InstanceClient::Read InstanceClient::read(char* into, qsizetype size, QDeadlineTimer deadline) {
    qsizetype done = 0;
    while (done < size) {
        const ssize_t got = ::recv(fd_, into + done, size_t(size - done), 0);
        if (got > 0) {
            done += got;
            continue;
        }
        if (got == 0) return Read::Closed;
        if (errno == ECONNRESET) return Read::Closed;
        if (errno != EAGAIN && errno != EINTR) {
            error_ = QStringLiteral("the connection broke: ") + errnoText(errno);
            return Read::Failed;
        }
        if (!waitFor(POLLIN, deadline)) return Read::TimedOut;
    }
    return Read::Ok;
}

InstanceClient::Read InstanceClient::readFrame(char* kind, QByteArray* payload,
                                               qsizetype maxPayload, QDeadlineTimer deadline) {
    char header[wire::kHeaderBytes];
    if (const Read r = read(header, wire::kHeaderBytes, deadline); r != Read::Ok) return r;
    const quint32 length = wire::payloadLength(header);
    if (length > quint64(maxPayload)) {
        error_ =
            QStringLiteral("the running program sent %1 bytes, more than expected").arg(length);
        return Read::Failed;
    }
    *kind = header[0];
    payload->resize(qsizetype(length));
    return read(payload->data(), payload->size(), deadline);
}

}  // namespace larkspur
