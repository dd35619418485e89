// The command line of the tool. Without arguments it opens its window; support
// staff and remote-support scripts use the switches to get the report or the
// export without anyone clicking:
//   /report [FILE]   the report into FILE, or to standard output without FILE
//   /system [FILE]   the system profile into FILE, or to standard output
//   /export FOLDER   the export into FOLDER\VTX Umgebung, without dialogs
//   /debug           with /report or /export: the report with its debug section
//   /?               the usage text
// Switches follow Windows conventions: "/" or "-", any case. Portable: the
// arguments come in as UTF-8, already split (argument 0, the program, left out).
#pragma once
#include <string>
#include <vector>

namespace vtx {

enum class RunMode {
    Window,   // no arguments: the window, as always
    Report,   // /report [FILE]
    Export,   // /export FOLDER
    System,   // /system [FILE]
    Usage,    // /? : the usage text on standard output, exit 0
    Invalid,  // unknown or malformed: `error`, then the usage on standard error, exit 2
};

struct CommandLine {
    RunMode mode = RunMode::Window;
    std::string path;   // /report, /system: the file ("" = standard output); /export: the folder
    bool debug = false;  // /debug
    std::string error;  // RunMode::Invalid: what is wrong, in German
};

// Exit codes of the command-line modes.
inline constexpr int kExitSuccess = 0;
inline constexpr int kExitFailed = 1;      // the work failed; the message says what
inline constexpr int kExitBadArguments = 2;

CommandLine ParseCommandLine(const std::vector<std::string>& arguments);

// The usage text, lines ended by CR LF.
std::string UsageText();

}  // namespace vtx
