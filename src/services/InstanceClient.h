#pragma once

#include <QByteArray>
#include <QDeadlineTimer>
#include <QString>

namespace larkspur {

// The launching end of the single-instance socket, on plain blocking-free system calls: it
// needs no event loop and no application object, so that a launch that only talks to the
// running program starts and ends in milliseconds.
class InstanceClient final {
public:
    enum class Connect { Connected, NoServer, Failed };
    enum class Read { Ok, Closed, TimedOut, Failed };

    InstanceClient() = default;
    InstanceClient(const InstanceClient&) = delete;
    InstanceClient& operator=(const InstanceClient&) = delete;
    ~InstanceClient();

    // NoServer: nobody listens there (no socket file, or one left over from a crash). A
    // listener whose queue is full is tried again until the deadline.
    Connect connectTo(const QString& path, QDeadlineTimer deadline);
    bool write(const QByteArray& bytes, QDeadlineTimer deadline);
    Read read(char* into, qsizetype size, QDeadlineTimer deadline);
    // One frame whose payload is at most `maxPayload` bytes; longer ones fail.
    Read readFrame(char* kind, QByteArray* payload, qsizetype maxPayload, QDeadlineTimer deadline);
    // What went wrong last, in plain words.
    QString error() const { return error_; }

private:
    bool waitFor(short events, QDeadlineTimer deadline);
    void close();

    int fd_ = -1;
    QString error_;
};

}  // namespace larkspur
