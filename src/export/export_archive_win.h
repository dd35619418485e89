// The archive of a finished export: "VTX Umgebung.zip" beside the folder
// "VTX Umgebung", holding exactly that folder, so that the owner has one file to
// send to support.
#pragma once
#include <optional>
#include <string>
#include <string_view>

#include "export/environment_export_win.h"
#include "export/file_finder_win.h"

namespace vtx {

struct ArchiveResult {
    bool written = false;
    bool cancelled = false;  // the pump stopped it: no archive, nobody to tell
    std::string archive;     // the folder's path + ".zip"
    std::string reason;      // why it was not written (German; may be "")
};

// Packs the export folder `folder` into ArchivePathFor(folder): every folder as an
// entry "VTX Umgebung/..." of its own, every file byte for byte, each with its
// last-write time in local time. The archive is written under a temporary name
// beside it and renamed into place only when complete; an earlier archive stays as
// it was until then, and whenever the archive is not written (failure or pump
// stop) the temporary file is removed. The pump runs after every entry.
ArchiveResult ArchiveExportFolder(const std::string& folder, const MessagePump& pump);

// The export's closing text with the archive's line, or with why it is missing.
std::string ClosingText(const ExportResult& exported, const ArchiveResult& archive);

// `utf8` in the OEM code page, or nullopt when a character has no place there (or
// that code page is UTF-8, which the readers of unflagged names do not expect).
std::optional<std::string> ToOemName(std::string_view utf8);

}  // namespace vtx
