// Whether the jukebox runs, for the system profile.
#pragma once
#include <optional>
#include <string>
#include <vector>

#include "profile/system_profile.h"

namespace vtx {

// The jukebox's program file name.
inline constexpr const char* kJukeboxExeName = "Velatrix-Tunes 6.exe";
// The tool's own program file name, as it is handed out.
inline constexpr const char* kToolExeName = "VTXDiagnostic.exe";

// Every running process whose program file is named `exeName` (ignoring case),
// with its id and, where Windows lets the tool see it, its full path (also of a
// process of the other bitness). Empty optional when the process list cannot be
// taken.
std::optional<std::vector<JukeboxProcess>> FindProcesses(const std::string& exeName);

}  // namespace vtx
