#include "focus/SessionHistoryFile.h"

#include "focus/SessionListJson.h"
#include "storage/DataFile.h"
#include "storage/StorageManager.h"

namespace larkspur {

namespace {

// Room to append a few hundred records before the buffer must grow.
constexpr qint64 kHeadroom = 64 * 1024;

std::optional<QByteArray> readWhole(const QString& path) {
    DataFileRead file = readDataFile(path, kHeadroom);
    if (file.outcome != DataFileRead::Outcome::Read || file.bytes.isEmpty()) return std::nullopt;
    return std::move(file.bytes);
}

}  // namespace

std::optional<QList<FocusSession>> SessionHistoryFile::load() {
    if (auto bytes = readWhole(storage_.pathFor(kFocusSessionsFile))) {
        if (auto sessions = sessionlist::decode(*bytes)) {
            // The text read stands for these records from now on; the next save appends to it.
            while (bytes->endsWith(' ') || bytes->endsWith('\n') || bytes->endsWith('\r') ||
                   bytes->endsWith('\t'))
                bytes->chop(1);
            kept_ = std::move(*bytes);
            keptCount_ = sessions->size();
            return sessions;
        }
    }
    // Missing, unreadable or unusual files take the ordinary road, which reports and keeps a
    // copy of what it cannot read.
    return storage_.load<QList<FocusSession>>(kFocusSessionsFile);
}

bool SessionHistoryFile::save(const QList<FocusSession>& sessions) {
    if (keptCount_ == 0 || keptCount_ > sessions.size()) {
        kept_ = sessionlist::encode(sessions);
    } else {
        for (qsizetype i = keptCount_; i < sessions.size(); ++i)
            sessionlist::appendToArray(kept_, sessions.at(i));
    }
    keptCount_ = sessions.size();
    // Not through StorageManager::save, which would first build a JSON tree of the whole
    // history; the write and its report are the storage manager's own.
    return storage_.saveBytes(kept_, kFocusSessionsFile);
}

}  // namespace larkspur
