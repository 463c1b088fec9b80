#pragma once

#include <QByteArray>
#include <QList>
#include <optional>

#include "focus/FocusSession.h"

namespace larkspur {

class StorageManager;

inline const QString kFocusSessionsFile = QStringLiteral("focus-sessions.json");

// "focus-sessions.json". The list only ever grows at its end, so the text of what was read or
// written before is kept, and a save encodes just the new records before the atomic rewrite.
class SessionHistoryFile {
public:
    explicit SessionHistoryFile(const StorageManager& storage) : storage_(storage) {}

    // Nothing when the file is missing or unreadable; an unreadable one is reported by the
    // storage manager, which keeps a copy of it.
    std::optional<QList<FocusSession>> load();
    // Writes the whole list; `sessions` extends what was loaded or saved before.
    bool save(const QList<FocusSession>& sessions);

private:
    const StorageManager& storage_;
    // Always a JSON array whose records are the first `keptCount_` of the list in memory.
    QByteArray kept_ = QByteArrayLiteral("[]");
    qsizetype keptCount_ = 0;
};

}  // namespace larkspur
