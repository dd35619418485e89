// The VirtualStore: Windows redirects the writes of a program without a manifest,
// such as the jukebox, into protected folders (Program Files, the Windows folder,
// ProgramData) to %LOCALAPPDATA%\VirtualStore\<the path without its drive>, and
// from then on that program reads the redirected copy. The tool, having a
// manifest, sees the originals; the export takes the view the jukebox has.
#pragma once
#include <string>

namespace vtx {

// The VirtualStore folder that stands in for `installDir`, e.g.
// C:\Users\Anna\AppData\Local\VirtualStore\Program Files (x86)\Velatrix-Tunes 6
// for C:\Program Files (x86)\Velatrix-Tunes 6 (the long spelling of the path,
// without trailing backslash); "" when installDir does not lie in a protected
// folder or is one itself (it is not walked then), lies on no drive letter, or the local application-data folder is
// unknown. Whether the folder exists is not asked.
std::string VirtualStoreFolder(const std::string& installDir);

// The number of install-folder files the export takes from the VirtualStore: the
// files below VirtualStoreFolder(installDir) that the export's walk accepts (its
// attribute mask, linked folders not entered), those that replace an original and
// those that exist only there. 0 when there is no such folder.
long CountVirtualStoreFiles(const std::string& installDir);

}  // namespace vtx
