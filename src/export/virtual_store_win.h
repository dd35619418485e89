// The VirtualStore: where Windows puts what the jukebox (a 32-bit program without
// a manifest) writes into a protected folder such as Program Files. Those files
// are the jukebox's real ones; the export takes them from there.
#pragma once
#include <string>

namespace vtx {

// The number of files below %LOCALAPPDATA%\VirtualStore\<installDir without its
// drive> that the export's attribute mask accepts (hidden-only and system-only
// files are passed over, linked folders not entered). 0 when installDir lies in
// none of the folders Windows virtualizes (Program Files, Program Files (x86),
// Windows, ProgramData) or nothing is stored for it.
long CountVirtualStoreFiles(const std::string& installDir);

}  // namespace vtx
