#include "services/SingleInstance.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocalServer>
#include <QLockFile>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>
#include <cerrno>
#include <cstring>
#include <tuple>

#include "platform/Log.h"
#include "services/InstanceClient.h"
#include "services/InstanceServer.h"

namespace larkspur {

namespace {

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
    if (!server_) return;
    // The server's sockets belong to its thread; it closes them there.
    QMetaObject::invokeMethod(
        server_,
        [server = server_, home = thread()] {
            server->close();
            server->moveToThread(home);
        },
        Qt::BlockingQueuedConnection);
    thread_.quit();
    thread_.wait();
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

bool SingleInstance::prepareFolder(bool create, QString* whyNot) {
    QString why;
    if (!folderIsFallback_) {
        if (ensurePrivateFolder(folder_, false, &why)) return true;
        if (create)
            report(QStringLiteral("XDG_RUNTIME_DIR is unusable (%1), using a private folder")
                       .arg(why));
        folder_ = fallbackFolder(serverName_);
        folderIsFallback_ = true;
    }
    if (!create && !QFileInfo::exists(folder_) && !QFileInfo(folder_).isSymLink()) return false;
    if (ensurePrivateFolder(folder_, create, &why)) return true;
    if (whyNot) *whyNot = QStringLiteral("refusing unsafe folder ") + why;
    return false;
}

QString SingleInstance::locate(QString* whyNot) {
    if (!isPlainName(serverName_)) {
        if (whyNot) *whyNot = QStringLiteral("invalid server name \"%1\"").arg(serverName_);
        return {};
    }
    // Only looks: the choice of folder stays claim()'s, which reports it.
    const auto chosen = std::pair(folder_, folderIsFallback_);
    const QString path = prepareFolder(false, whyNot) ? socketPath() : QString();
    std::tie(folder_, folderIsFallback_) = chosen;
    return path;
}

SingleInstance::Role SingleInstance::claim(const QStringList& urls) {
    if (server_) return Role::Primary;
    if (!isPlainName(serverName_)) {
        report(QStringLiteral("invalid server name \"%1\"").arg(serverName_));
        return Role::Failed;
    }
    QString why;
    if (!prepareFolder(true, &why)) {
        report(why);
        return Role::Failed;
    }
    const QString path = socketPath();
    if (QFile::encodeName(path).size() >= qsizetype(sizeof(sockaddr_un::sun_path))) {
        report(QStringLiteral("socket path is too long: ") + path);
        return Role::Failed;
    }
    // Most launches find the program running; they need no lock.
    if (const auto role = handOver(urls)) return *role;

    // Without the lock, two launches at once could both find no server and both listen.
    // QLockFile's own wait grows to seconds between tries; a crowd of launches needs short ones.
    QLockFile lock(lockPath());
    const QDeadlineTimer deadline(2 * timeoutMs_ + 1000);
    while (!lock.tryLock(0)) {
        if (lock.error() != QLockFile::LockFailedError || deadline.hasExpired()) {
            report(QStringLiteral("cannot take the lock %1 (error %2)")
                       .arg(lockPath())
                       .arg(int(lock.error())));
            return Role::Failed;
        }
        QThread::msleep(10);
    }
    // Another launch may have become the instance meanwhile. Always try it first: listening
    // would silently take over its socket.
    if (const auto role = handOver(urls)) return *role;
    // Nobody listens: the socket file, if any, is left over from a crash.
    QLocalServer::removeServer(path);
    return listen() ? Role::Primary : Role::Failed;
}

std::optional<SingleInstance::Role> SingleInstance::handOver(const QStringList& urls) {
    const QString path = locate();
    if (path.isEmpty()) return std::nullopt;
    const wire::Batch batch = wire::encodeUrls(urls, limits_);
    undelivered_ = batch.undelivered;
    // With every URL over a limit there is nothing to hand over; an empty batch would show the
    // panel instead.
    if (batch.bytes == wire::frame(wire::kEnd) && !undelivered_.isEmpty())
        return reportUndelivered();
    const QDeadlineTimer deadline(timeoutMs_);
    const QString seconds = QString::number(timeoutMs_ / 1000.0);
    // The running instance drops a connection only before it took the batch, so a closed
    // connection is safe to try again while time is left.
    for (;;) {
        InstanceClient client;
        switch (client.connectTo(path, deadline)) {
            case InstanceClient::Connect::NoServer:
                return std::nullopt;
            case InstanceClient::Connect::Failed:
                report(QStringLiteral("cannot reach the running program: ") + client.error());
                return Role::Failed;
            case InstanceClient::Connect::Connected:
                break;
        }
        char reply = 0;
        InstanceClient::Read read = InstanceClient::Read::Closed;
        if (client.write(batch.bytes, deadline)) read = client.read(&reply, 1, deadline);
        if (read == InstanceClient::Read::Ok && reply == wire::kAck) break;
        if (read == InstanceClient::Read::TimedOut) {
            report(QStringLiteral("the running program did not confirm within %1 s; the URLs "
                                  "may still run")
                       .arg(seconds));
            return Role::Unconfirmed;
        }
        if (deadline.hasExpired() || read == InstanceClient::Read::Failed ||
            read == InstanceClient::Read::Ok) {
            report(QStringLiteral("the running program did not take the URLs within %1 s (%2)")
                       .arg(seconds, client.error().isEmpty()
                                         ? QStringLiteral("it closed the connection")
                                         : client.error()));
            return Role::Failed;
        }
        QThread::msleep(20);
    }
    return undelivered_.isEmpty() ? Role::Secondary : reportUndelivered();
}

SingleInstance::Role SingleInstance::reportUndelivered() const {
    report(QStringLiteral("%1 URL(s) were not delivered: over the limits of %2 bytes per URL, "
                          "%3 bytes and %4 URLs per launch")
               .arg(undelivered_.size())
               .arg(limits_.frameBytes - 1)
               .arg(limits_.batchBytes)
               .arg(limits_.urls));
    for (const QString& url : undelivered_) {
        constexpr qsizetype kShown = 100;
        report(QStringLiteral("not delivered: ") + url.left(kShown) +
               (url.size() > kShown ? QStringLiteral("... (%1 characters)").arg(url.size())
                                    : QString()));
    }
    return Role::Undelivered;
}

bool SingleInstance::listen() {
    auto* server = new InstanceServer(limits_);
    // Connected before it listens: a launch may come the moment the socket exists, and what it
    // handed over was acknowledged already. Across threads, so queued: in the order sent.
    connect(server, &InstanceServer::urlsReceived, this, &SingleInstance::urlsReceived);
    connect(server, &InstanceServer::statusWanted, this, &SingleInstance::statusWanted);
    connect(server, &InstanceServer::watchingChanged, this, &SingleInstance::watchingChanged);
    server->moveToThread(&thread_);
    thread_.setObjectName(QStringLiteral("single instance"));
    thread_.start();
    bool listening = false;
    QString why;
    QMetaObject::invokeMethod(
        server, [&] { listening = server->listen(socketPath(), &why); },
        Qt::BlockingQueuedConnection);
    if (!listening) {
        report(QStringLiteral("cannot listen on %1: %2").arg(socketPath(), why));
        QMetaObject::invokeMethod(
            server, [server, home = thread()] { server->moveToThread(home); },
            Qt::BlockingQueuedConnection);
        thread_.quit();
        thread_.wait();
        delete server;
        return false;
    }
    server_ = server;
    // Once the event loop has ended, batches acknowledged meanwhile would never reach the
    // program; it stops taking them and still runs those it took, before anything is saved.
    if (QCoreApplication* app = QCoreApplication::instance())
        connect(app, &QCoreApplication::aboutToQuit, this, &SingleInstance::stopListening);
    return true;
}

void SingleInstance::stopListening() {
    if (!server_) return;
    QMetaObject::invokeMethod(
        server_, [server = server_] { server->close(); }, Qt::BlockingQueuedConnection);
    QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
}

void SingleInstance::publishStatus(const QByteArray& status) {
    if (!server_) return;
    QMetaObject::invokeMethod(
        server_, [server = server_, status] { server->publish(status); }, Qt::QueuedConnection);
}

}  // namespace larkspur
