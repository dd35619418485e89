// The report as a file: VTX.log of the export and the file of "/report FILE"; the
// system profile as a file: System.txt of the export and the file of "/system FILE".
#pragma once
#include <string>
#include <vector>

namespace vtx {

// Writes every line followed by CR LF, in the ANSI code page, into a fresh file at
// `path` (an existing file is replaced). False when the file cannot be created or
// written whole; a partly written file is removed again, so that no truncated
// report is left behind.
bool WriteReportFile(const std::string& path, const std::vector<std::string>& lines);

// Writes the profile's lines as UTF-8 with a byte order mark, every line followed
// by CR LF (device names are not always in the ANSI code page; Notepad of Windows 7
// reads the mark), into a fresh file at `path`, as WriteReportFile does.
bool WriteSystemProfileFile(const std::string& path, const std::vector<std::string>& lines);

}  // namespace vtx
