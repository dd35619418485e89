// The command-line modes: the report, the system profile and the export without a window, a message
// box or the wait window. Start-up runs as for the window, except that its
// "Achtung!" warning goes to standard error.
#pragma once
#include <string>
#include <vector>

#include "app/command_line.h"

namespace vtx {

// The program's arguments, UTF-8, without the program itself.
std::vector<std::string> ProgramArguments();

// Runs a mode other than RunMode::Window and returns the exit code:
// - Usage: the usage on standard output, 0;
// - Invalid: what is wrong and the usage on standard error, 2;
// - Report: the report's lines to FILE (as VTX.log) or standard output, 0; 1 when
//   they cannot be written whole (the message names the file);
// - System: the system profile to FILE (UTF-8 with BOM, as System.txt) or
//   standard output (as the report), 0; 1 when it cannot be written whole;
// - Export: the export into FOLDER and its archive FOLDER\VTX Umgebung.zip beside
//   it; the archive's path on standard output once it is written, the closing
//   message on standard error; 0 only when everything is in place, archive
//   included, else 1.
// A process that has neither the stream nor a console to write the usage to
// (started from a link, say) shows the usage or the error in a message box.
int RunCommandLine(const CommandLine& command);

}  // namespace vtx
