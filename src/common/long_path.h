// The extended form of Windows paths (\\?\C:\..., \\?\UNC\server\share\...), which
// lifts the 260-character limit of the file functions. The extended form also turns
// off the processing Windows does on ordinary paths, so "." and ".." components,
// forward slashes and doubled backslashes are resolved here first. Portable: text
// only, no file system.
#pragma once
#include <string>
#include <string_view>

namespace vtx {

// The absolute path `path` with forward slashes turned into backslashes, doubled
// backslashes collapsed, "." components dropped and ".." components taken back
// (never above the drive or the share). A trailing backslash stays. Other texts
// come back unchanged: relative paths ("a\b", "C:a", "\a"), a bare server, paths
// that are already extended or name a device (\\?\..., \\.\...).
std::string ResolvedPath(std::string_view path);

// ResolvedPath in the extended form: "C:\a" -> "\\?\C:\a", "\\server\share\a" ->
// "\\?\UNC\server\share\a". What ResolvedPath leaves unchanged stays unchanged.
// Every file-system call of the export, its walks and the file helpers takes its
// path through this one conversion.
std::string ExtendedPath(std::string_view path);

}  // namespace vtx
