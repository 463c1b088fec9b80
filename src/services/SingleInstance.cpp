#include "services/SingleInstance.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QPointer>
#include <QStringDecoder>
#include <QTimer>
#include <QtEndian>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>
#include <cerrno>
#include <cstring>

#include "platform/Log.h"

namespace larkspur {

namespace {

constexpr qsizetype kHeaderBytes = 4;
// Enough for launches racing each other; more only means someone is flooding the socket.
constexpr int kMaxClients = 32;
// A partial batch waits on its socket, so it dies with the connection.
constexpr const char* kBufferProperty = "larkspurPartialBatch";

void report(const QString& message) {
    logLine(QStringLiteral("Single instance: ") + message);
}

bool isPlainName(const QString& name) {
    return !name.isEmpty() && name != u"." && name != u".." && !name.contains(u'/') &&
           !name.contains(QChar(u'\0'));
}

QString errnoText(int error = errno) {
    return QString::fromLocal8Bit(std::strerror(error));
}

QString fallbackFolder(const QString& serverName) {
    return QDir::tempPath() + u'/' + serverName + u'-' + QString::number(::geteuid());
}

}  // namespace

SingleInstance::SingleInstance(QString serverName, QObject* parent)
    : QObject(parent), serverName_(std::move(serverName)) {
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && QDir::isAbsolutePath(runtime)) {
        folder_ = QDir::cleanPath(runtime);
    } else {
        folder_ = fallbackFolder(serverName_);
        folderIsFallback_ = true;
    }
}

SingleInstance::~SingleInstance() {
    // The sockets are children of the server; their bookkeeping needs this object alive.
    delete server_;
}

QString SingleInstance::socketPath() const {
    return folder_ + u'/' + serverName_;
}

bool SingleInstance::ensurePrivateFolder(const QString& path, bool create, QString* whyNot) {
    const auto refuse = [&](const QString& why) {
        if (whyNot) *whyNot = path + QStringLiteral(": ") + why;
        return false;
    };
    const QByteArray native = QFile::encodeName(path);
    if (path.isEmpty() || native.contains('\0')) return refuse(QStringLiteral("invalid path"));
    bool created = false;
    if (create) {
        if (::mkdir(native.constData(), 0700) == 0) {
            created = true;
        } else if (errno != EEXIST) {
            return refuse(QStringLiteral("cannot create folder: ") + errnoText());
        }
    }
    // O_NOFOLLOW refuses a symlink in place of the folder itself.
    const int fd = ::open(native.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    struct stat info = {};
    if (fd < 0) {
        const int error = errno;
        if (::lstat(native.constData(), &info) == 0 && S_ISLNK(info.st_mode))
            return refuse(QStringLiteral("is a symbolic link"));
        if (error == ENOTDIR) return refuse(QStringLiteral("is not a folder"));
        return refuse(QStringLiteral("cannot open folder: ") + errnoText(error));
    }
    // A fresh folder may have lost bits to the umask.
    const bool ok = (!created || ::fchmod(fd, 0700) == 0) && ::fstat(fd, &info) == 0;
    const int error = errno;
    ::close(fd);
    if (!ok) return refuse(QStringLiteral("cannot inspect folder: ") + errnoText(error));
    if (info.st_uid != ::geteuid()) {
        return refuse(
            QStringLiteral("is owned by user %1, not by %2").arg(info.st_uid).arg(::geteuid()));
    }
    if ((info.st_mode & 07777) != 0700) {
        return refuse(QStringLiteral("has mode %1, not 0700")
                          .arg(info.st_mode & 07777, 4, 8, QLatin1Char('0')));
    }
    return true;
}

bool SingleInstance::prepareFolder() {
    QString why;
    if (!folderIsFallback_) {
        if (ensurePrivateFolder(folder_, false, &why)) return true;
        report(QStringLiteral("XDG_RUNTIME_DIR is unusable (%1), using a private folder").arg(why));
        folder_ = fallbackFolder(serverName_);
        folderIsFallback_ = true;
    }
    if (ensurePrivateFolder(folder_, true, &why)) return true;
    report(QStringLiteral("refusing unsafe folder ") + why);
    return false;
}

SingleInstance::Role SingleInstance::claim(const QStringList& urls) {
    if (server_) return Role::Primary;
    if (!isPlainName(serverName_)) {
        report(QStringLiteral("invalid server name \"%1\"").arg(serverName_));
        return Role::Failed;
    }
    if (!prepareFolder()) return Role::Failed;
    const QString path = socketPath();
    if (QFile::encodeName(path).size() >= qsizetype(sizeof(sockaddr_un::sun_path))) {
        report(QStringLiteral("socket path is too long: ") + path);
        return Role::Failed;
    }

    // Without the lock, two launches at once could both find no server and both listen.
    QLockFile lock(lockPath());
    if (!lock.tryLock(2 * timeoutMs_ + 1000)) {
        report(QStringLiteral("cannot take the lock %1 (error %2)")
                   .arg(lockPath())
                   .arg(int(lock.error())));
        return Role::Failed;
    }

    // Always try the running instance first: listening would silently take over its socket.
    QLocalSocket socket;
    socket.connectToServer(path);
    if (socket.waitForConnected(timeoutMs_)) return handOver(socket, urls);
    if (socket.error() != QLocalSocket::ServerNotFoundError &&
        socket.error() != QLocalSocket::ConnectionRefusedError) {
        report(QStringLiteral("cannot reach the running instance: ") + socket.errorString());
        return Role::Failed;
    }
    // Nobody listens: the socket file, if any, is left over from a crash.
    QLocalServer::removeServer(path);
    return listen() ? Role::Primary : Role::Failed;
}

SingleInstance::Role SingleInstance::handOver(QLocalSocket& socket, const QStringList& urls) {
    const QDeadlineTimer deadline(timeoutMs_);
    socket.write(encodeBatch(urls));
    while (socket.bytesToWrite() > 0 && socket.waitForBytesWritten(int(deadline.remainingTime()))) {
    }
    while (socket.bytesAvailable() < 1 && socket.state() == QLocalSocket::ConnectedState &&
           socket.waitForReadyRead(int(deadline.remainingTime()))) {
    }
    char reply = 0;
    if (socket.getChar(&reply) && reply == kAck) return Role::Secondary;
    report(QStringLiteral("the running instance did not answer"));
    return Role::Failed;
}

bool SingleInstance::listen() {
    auto* server = new QLocalServer(this);
    server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!server->listen(socketPath())) {
        report(QStringLiteral("cannot listen on %1: %2").arg(socketPath(), server->errorString()));
        delete server;
        return false;
    }
    server_ = server;
    connect(server_, &QLocalServer::newConnection, this, &SingleInstance::acceptClients);
    return true;
}

QByteArray SingleInstance::encodeBatch(const QStringList& urls) {
    QByteArray payload;
    qsizetype count = 0;
    for (QString url : urls) {
        // A line break would split the argument; URLs never contain one.
        url.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
        url.replace(u'\r', u' ').replace(u'\n', u' ').remove(QChar(u'\0'));
        if (url.isEmpty()) continue;
        const QByteArray line = url.toUtf8();
        const qsizetype added = line.size() + (payload.isEmpty() ? 0 : 1);
        if (count == kMaxUrls || payload.size() + added > kMaxBatchBytes) break;
        if (!payload.isEmpty()) payload.append('\n');
        payload.append(line);
        ++count;
    }
    QByteArray frame(kHeaderBytes, '\0');
    qToBigEndian(quint32(payload.size()), frame.data());
    return frame + payload;
}

std::optional<QStringList> SingleInstance::decodeBatch(const QByteArray& payload) {
    if (payload.size() > kMaxBatchBytes || payload.contains('\0')) return std::nullopt;
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decoder.decode(payload);
    if (decoder.hasError()) return std::nullopt;
    QStringList urls;
    for (QStringView line : QStringView(text).split(u'\n')) {
        if (line.endsWith(u'\r')) line.chop(1);
        if (line.isEmpty()) continue;
        if (urls.size() == kMaxUrls) return std::nullopt;
        urls.append(line.toString());
    }
    return urls;
}

void SingleInstance::acceptClients() {
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
        if (clients_ >= kMaxClients) {
            socket->abort();
            socket->deleteLater();
            continue;
        }
        ++clients_;
        connect(socket, &QObject::destroyed, this, [this] { --clients_; });
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { readFrom(socket); });
        // A client that never finishes its batch must not hold a slot forever.
        QTimer::singleShot(timeoutMs_, socket, [this, socket] { drop(socket); });
        readFrom(socket);
    }
}

void SingleInstance::readFrom(QLocalSocket* socket) {
    QByteArray buffer = socket->property(kBufferProperty).toByteArray();
    if (buffer.size() < kHeaderBytes) buffer += socket->read(kHeaderBytes - buffer.size());
    if (buffer.size() < kHeaderBytes) {
        socket->setProperty(kBufferProperty, buffer);
        return;
    }
    const quint32 length = qFromBigEndian<quint32>(buffer.constData());
    if (length > quint32(kMaxBatchBytes)) {
        drop(socket);
        return;
    }
    const qsizetype total = kHeaderBytes + qsizetype(length);
    if (buffer.size() < total) buffer += socket->read(total - buffer.size());
    socket->setProperty(kBufferProperty, buffer);
    if (buffer.size() < total) return;

    // One batch per connection: whatever follows is not read.
    disconnect(socket, &QLocalSocket::readyRead, this, nullptr);
    const std::optional<QStringList> urls = decodeBatch(buffer.mid(kHeaderBytes));
    if (!urls) {
        drop(socket);
        return;
    }
    const QPointer<QLocalSocket> alive(socket);
    Q_EMIT urlsReceived(*urls);
    if (!alive) return;
    socket->putChar(kAck);
    socket->disconnectFromServer();
}

void SingleInstance::drop(QLocalSocket* socket) {
    disconnect(socket, &QLocalSocket::readyRead, this, nullptr);
    socket->abort();
    socket->deleteLater();
}

}  // namespace larkspur
