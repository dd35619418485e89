// File and folder helpers over the wide Windows API. Paths are UTF-8.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

namespace vtx {

// True for an existing file (hidden, system and read-only included); false for
// folders, volume labels, "" and any failure to read the attributes.
bool FileExists(const std::string& path);
// True for an existing folder (a trailing backslash is accepted); false otherwise.
bool DirExists(const std::string& path);
// Creates every missing level of the folder path. True when the folder exists
// afterwards; false for "", when a creation fails (levels created before stay) and
// when nothing can be created for a missing folder (a drive that does not exist).
bool CreatePath(const std::string& path);
// Lists the files (or, with foldersOnly, the subfolders) of one folder matching
// `pattern`, in search order, without "." and "..". Ordinary files are always
// listed; hidden (2), system (4) and directory (16) entries only when `attributes`
// asks for them. False when nothing was taken (also for folder ""); `entries` then
// holds one empty text.
bool GetDirEntries(const std::string& folder, const std::string& pattern, std::vector<std::string>& entries,
                   bool foldersOnly, unsigned attributes);
// Adds the files of `folder` (hidden and system included) to fileCounter and its
// subfolders to folderCounter, recursing when asked (not into linked subfolders,
// which are counted but not entered). Returns fileCounter.
long CountFiles(const std::string& folder, const std::string& filePattern, long& fileCounter, bool recurse,
                const std::string& folderPattern, long& folderCounter);
// Number of text lines of the file (see LineCounter); 0 when the file does not exist
// or cannot be read.
long CountLines(const std::string& path);
// True when the current user has administrator rights.
bool IsAdmin();

// The path of a known folder (FOLDERID_...), also when it does not exist yet; ""
// when Windows knows none.
std::string KnownFolderPath(const GUID& id);
// Deletes the folder with the ordinary files and subfolders in it (hidden and
// system entries are not listed, so a folder holding one cannot be removed).
// Returns false at the first deletion that fails; what was deleted stays deleted.
// A linked subfolder (junction, symbolic link) is removed as a link, its target is
// left alone. Refuses a drive or share root (see IsRootFolder) and deletes nothing.
bool DeleteDirectory(const std::string& path);

}  // namespace vtx
