#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>

namespace larkspur {

// Replaces a whole file atomically and durably; on failure the old file stays and `error` says
// why.
bool writeFileAtomically(const QString& path, const QByteArray& bytes, QString* error);

// Writes files on a thread of its own, so that the main thread never waits for the disk (a
// durable write costs milliseconds). Writes to one path keep their order; when a path has a
// write waiting, a newer content replaces it.
class FileWriter {
public:
    FileWriter();
    ~FileWriter();  // writes what is waiting, then stops
    FileWriter(const FileWriter&) = delete;
    FileWriter& operator=(const FileWriter&) = delete;

    // What a file will hold, made when it is written: encoding a long list costs milliseconds
    // too, so it happens on the writer's thread. It must not touch anything but its captures.
    using Content = std::function<QByteArray()>;

    void write(const QString& path, QByteArray bytes);
    void write(const QString& path, Content content);
    // The content a path will have once the waiting write is done, if there is one.
    std::optional<QByteArray> pending(const QString& path) const;
    // Returns once every write queued before the call has reached the disk.
    void flush();

private:
    void run();

    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable idle_;
    std::deque<QString> order_;
    QHash<QString, Content> waiting_;
    // The write under way stays visible until it is on disk.
    QString writingPath_;
    Content writingContent_;
    bool busy_ = false;
    bool stopping_ = false;
    std::thread thread_;
};

}  // namespace larkspur
