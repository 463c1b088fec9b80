#pragma once

#include <QByteArray>
#include <QString>

namespace larkspur {

// Data files are small; anything bigger did not come from this program.
inline constexpr qint64 kMaxDataFileBytes = qint64(64) * 1024 * 1024;

// The bytes at a path, read only when a regular file stands there (after following a symlink),
// so that a pipe, a device or a folder never blocks or floods the reader.
struct DataFileRead {
    enum class Outcome {
        Missing,
        Read,
        Refused,  // not a regular file or too large: the caller leaves it as it is
        Failed,   // a regular file that could not be read
    };
    Outcome outcome = Outcome::Missing;
    QByteArray bytes;
    QString reason;  // for Refused and Failed
};

// `headroom` is reserved after the bytes for a caller that appends to them.
DataFileRead readDataFile(const QString& path, qint64 headroom = 0);

}  // namespace larkspur
