#include "platform/Log.h"

#include <cstdio>

namespace larkspur {

void logLine(const QString& line) {
    QByteArray bytes = line.toUtf8();
    bytes.replace('\n', ' ');
    bytes.append('\n');
    std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), stdout);
    std::fflush(stdout);
}

}  // namespace larkspur
