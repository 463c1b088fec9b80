#pragma once

namespace larkspur {

// "larkspurhollow --export-sessions csv|json [--from DAY] [--to DAY]": the focus history on
// standard output, read straight from the data folder, with no window system and whether or not
// the program runs. Returns the exit code: 1 when the history cannot be read or the text cannot
// be written out, 2 for arguments it does not take (after printing `usage`).
int exportSessions(int argc, char** argv, const char* usage);

}  // namespace larkspur
