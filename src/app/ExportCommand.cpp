#include "app/ExportCommand.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "focus/SessionExport.h"
#include "focus/SessionHistoryFile.h"
#include "storage/StorageManager.h"

namespace larkspur {

int exportSessions(int argc, char** argv, const char* usage) {
    QStringList arguments;
    for (int i = 1; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
    QString error;
    const auto request = sessionexport::parseArguments(arguments, &error);
    if (!request) {
        std::fprintf(stderr, "larkspurhollow: %s\n%s", qPrintable(error), usage);
        return 2;
    }
    // Not through a storage manager: it would create the folder, and an export writes nothing.
    const QString path = StorageManager::defaultDirectory() + u'/' + kFocusSessionsFile;
    const auto sessions = sessionexport::readHistory(path, &error);
    if (!sessions) {
        std::fprintf(stderr, "larkspurhollow: %s; the file was left as it is\n", qPrintable(error));
        return 1;
    }
    const QByteArray text =
        sessionexport::render(sessionexport::select(*sessions, *request), request->format);
    const auto size = std::size_t(text.size());
    if (std::fwrite(text.constData(), 1, size, stdout) != size || std::fflush(stdout) != 0) {
        std::fprintf(stderr, "larkspurhollow: could not write the export: %s\n",
                     std::strerror(errno));
        return 1;
    }
    return 0;
}

}  // namespace larkspur
