#include "storage/DataFile.h"

#include <QFile>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstring>

namespace larkspur {

namespace {

using Outcome = DataFileRead::Outcome;

constexpr qsizetype kProbe = 4096;

DataFileRead outcome(Outcome kind, QString reason) {
    return {kind, {}, std::move(reason)};
}

QString errnoText(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

// Why the thing at the path is not read, or nothing when it may be read.
QString refusal(const struct stat& st) {
    if (S_ISDIR(st.st_mode)) return QStringLiteral("it is a folder, not a regular file");
    if (S_ISFIFO(st.st_mode)) return QStringLiteral("it is a named pipe, not a regular file");
    if (S_ISCHR(st.st_mode) || S_ISBLK(st.st_mode))
        return QStringLiteral("it is a device, not a regular file");
    if (S_ISSOCK(st.st_mode)) return QStringLiteral("it is a socket, not a regular file");
    if (!S_ISREG(st.st_mode)) return QStringLiteral("it is not a regular file");
    if (st.st_size > kMaxDataFileBytes)
        return QStringLiteral("it is larger than %1 MiB").arg(kMaxDataFileBytes >> 20);
    return {};
}

class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

}  // namespace

DataFileRead readDataFile(const QString& path, qint64 headroom) {
    const QByteArray native = QFile::encodeName(path);
    struct stat st = {};
    // A look first, so that opening never touches a device.
    if (::stat(native.constData(), &st) != 0) {
        if (errno == ENOENT) return {};
        return outcome(Outcome::Failed, errnoText(errno));
    }
    if (QString why = refusal(st); !why.isEmpty()) return outcome(Outcome::Refused, why);
    // Non-blocking, and checked again through the descriptor: the path may have been swapped
    // for a pipe since the look.
    const Descriptor fd(::open(native.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (fd.get() < 0) {
        if (errno == ENOENT) return {};
        return outcome(Outcome::Failed, errnoText(errno));
    }
    if (::fstat(fd.get(), &st) != 0) return outcome(Outcome::Failed, errnoText(errno));
    if (QString why = refusal(st); !why.isEmpty()) return outcome(Outcome::Refused, why);

    DataFileRead read{Outcome::Read, {}, {}};
    // Room for the probe past the end too, so that the buffer is never copied while it is read.
    read.bytes.reserve(qsizetype(st.st_size + headroom + kProbe));
    read.bytes.resize(qsizetype(st.st_size));
    qsizetype filled = 0;
    // A file that grows while it is read is read to its end, within the same bound.
    for (;;) {
        if (filled == read.bytes.size()) {
            if (filled > kMaxDataFileBytes)
                return outcome(
                    Outcome::Refused,
                    QStringLiteral("it is larger than %1 MiB").arg(kMaxDataFileBytes >> 20));
            read.bytes.resize(filled + kProbe);
        }
        const ssize_t n =
            ::read(fd.get(), read.bytes.data() + filled, std::size_t(read.bytes.size() - filled));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return outcome(Outcome::Failed, errnoText(errno));
        if (n == 0) break;
        filled += n;
    }
    read.bytes.truncate(filled);
    return read;
}

}  // namespace larkspur
