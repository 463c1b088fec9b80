#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

namespace larkspur::wire {

// What travels over the single-instance socket. Every message is a frame: one kind byte, a
// 4-byte big-endian payload length, the payload. A launch sends its URLs in as many `kUrls`
// frames as they need and closes the batch with `kEnd`, which the running program answers with
// the single byte `kAck` as soon as it has read the batch (the URLs run later). `kStatus` asks
// for one `kReply` with the timers as JSON; `kWatch` keeps the connection and gets a `kReply`
// whenever they change.
inline constexpr char kUrls = 'U';
inline constexpr char kEnd = 'E';
inline constexpr char kStatus = 'S';
inline constexpr char kWatch = 'W';
inline constexpr char kReply = 'J';
inline constexpr char kAck = '\x06';

inline constexpr qsizetype kHeaderBytes = 5;

// A command line holds at most 6 MiB of arguments on Linux, a single one at most 128 KiB; the
// limits sit above both, so that they only stop a client that is not a launch.
struct Limits {
    qsizetype frameBytes = 1024 * 1024;
    qsizetype batchBytes = 8 * 1024 * 1024;
    qsizetype urls = 1'000'000;
    // How long the running program gives a client to send its whole request; a launch needs
    // milliseconds.
    int requestMs = 1000;
};
// A reply lists every timer; thousands of them stay far below this.
inline constexpr qsizetype kMaxReplyBytes = 64 * 1024 * 1024;

QByteArray frame(char kind, const QByteArray& payload = {});

struct Batch {
    QByteArray bytes;         // the frames to send, `kEnd` included
    QStringList undelivered;  // URLs over a limit, in their order
};

// Line breaks inside a URL become spaces and NULs go (an argument cannot hold them as one URL);
// empty URLs are left out.
Batch encodeUrls(const QStringList& urls, const Limits& limits = {});
// The URLs of one `kUrls` payload, or nothing when it is not UTF-8 text of lines.
std::optional<QStringList> decodeUrls(const QByteArray& payload);

quint32 payloadLength(const char* header);

}  // namespace larkspur::wire
