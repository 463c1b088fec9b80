#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace larkspur {

class SingleInstance;

// `larkspurhollow --status`: asks the running program for its timers over the single-instance
// socket and prints them, once or (watch) whenever the output changes.
struct StatusRequest {
    bool json = false;   // the JSON array as the program sends it
    bool first = false;  // only the first running timer, or nothing
    bool watch = false;  // keep the connection; a new line per change, until the program quits
};

// Exit codes of a status request besides 0 and 1.
inline constexpr int kExitNotRunning = 3;
inline constexpr int kExitNoAnswer = 4;

// What one answer prints: a line per timer ("🍵 Tea running 04:59"), the first running one
// ("🍵 Tea 04:59", or nothing), or the JSON as it came; every line ends with a line break.
// Nothing when `status` is not a JSON array.
std::optional<QString> formatStatus(const QByteArray& status, const StatusRequest& request);

// Returns the exit code; messages go to standard error.
int requestStatus(SingleInstance& instance, const StatusRequest& request);

}  // namespace larkspur
