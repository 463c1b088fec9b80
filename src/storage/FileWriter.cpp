#include "storage/FileWriter.h"

#include <QFile>
#include <QSaveFile>

#include <sys/stat.h>

#include "platform/Log.h"

namespace larkspur {

bool writeFileAtomically(const QString& path, const QByteArray& bytes, QString* error) {
    // The rename would put a file in place of a pipe or device, or beside the target of a
    // symlink that leads to one (in /dev, say): such a thing is left as it is.
    struct stat st = {};
    if (::stat(QFile::encodeName(path).constData(), &st) == 0 && !S_ISREG(st.st_mode) &&
        !S_ISDIR(st.st_mode)) {
        if (error)
            *error = QStringLiteral("could not write \"%1\": it is not a regular file").arg(path);
        return false;
    }
    QSaveFile file(path);
    // The explicit flush: Qt's commit() reports success, and puts an empty file in place, when
    // the bytes it still buffered do not fit on a full disk.
    if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.flush() &&
        file.commit())
        return true;
    if (error) *error = QStringLiteral("could not write \"%1\": %2").arg(path, file.errorString());
    return false;
}

FileWriter::FileWriter() : thread_([this] { run(); }) {}

FileWriter::~FileWriter() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_one();
    thread_.join();
}

void FileWriter::write(const QString& path, QByteArray bytes) {
    write(path, [bytes = std::move(bytes)] { return bytes; });
}

void FileWriter::write(const QString& path, Content content) {
    {
        std::lock_guard lock(mutex_);
        if (!waiting_.contains(path)) order_.push_back(path);
        waiting_.insert(path, std::move(content));
    }
    wake_.notify_one();
}

std::optional<QByteArray> FileWriter::pending(const QString& path) const {
    std::lock_guard lock(mutex_);
    const auto it = waiting_.constFind(path);
    if (it != waiting_.constEnd()) return (*it)();
    if (busy_ && writingPath_ == path) return writingContent_();
    return std::nullopt;
}

void FileWriter::flush() {
    std::unique_lock lock(mutex_);
    idle_.wait(lock, [this] { return order_.empty() && !busy_; });
}

void FileWriter::run() {
    std::unique_lock lock(mutex_);
    for (;;) {
        wake_.wait(lock, [this] { return stopping_ || !order_.empty(); });
        if (order_.empty()) {
            if (stopping_) return;
            continue;
        }
        writingPath_ = order_.front();
        order_.pop_front();
        writingContent_ = waiting_.take(writingPath_);
        busy_ = true;
        const QString path = writingPath_;
        const Content content = writingContent_;
        lock.unlock();
        const QByteArray bytes = content();
        QString error;
        if (!writeFileAtomically(path, bytes, &error))
            logLine(QStringLiteral("StorageManager save error: ") + error);
        lock.lock();
        busy_ = false;
        writingPath_.clear();
        writingContent_ = nullptr;
        if (order_.empty()) idle_.notify_all();
    }
}

}  // namespace larkspur
