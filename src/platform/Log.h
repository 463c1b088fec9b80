#pragma once

#include <QString>

namespace larkspur {

// Writes one line to standard output and flushes it at once, so that a pipe sees it immediately.
void logLine(const QString& line);

}  // namespace larkspur
