// The export of the jukebox's environment: a folder "VTX Umgebung" for the support
// staff, with the report as VTX.log, full copies of the current skin file,
// Init.vtx, Fehler.log and every "ini" file, and empty placeholders of the same
// name for every other file of the program and data folders. The file work needs
// no window: the window and an unattended run tell the user its outcome.
#pragma once
#include <string>
#include <vector>

#include "export/file_finder_win.h"
#include "profile/incidents.h"

namespace vtx {

struct ExportRequest {
    std::string chosenFolder;           // the folder the user picked; the export goes inside
    std::vector<std::string> logLines;  // the report, in list order
    std::vector<std::string> systemProfile;  // the system profile's lines
    std::string installDir;             // the jukebox's folders, without trailing backslash
    std::string dataDir;
    std::string skinFile;  // the current skin file (found with the start-up skin name)
    std::string skinName;  // names the skin folder in the export
    int screenWidth = 0;
    int screenHeight = 0;
    // Where Windows put the jukebox's own writes into installDir
    // (VirtualStoreFolder); "" when there is none.
    std::string virtualStoreDir;
    // The jukebox's error reports and dumps the system profile found, copied byte
    // for byte to their places below the export folder (WER\...).
    std::vector<ExportedFile> werFiles;
};

enum class ExportOutcome {
    Created,              // everything in place
    CreatedWithFailures,  // in place except what `message` names: the files that
                          // failed, a tree that was not taken
    Stopped,              // ended early with an error; `message` says why
    Cancelled,            // the pump stopped the walk ("Abbrechen", the program
                          // closing): the half-made export folder is removed again
};

struct ExportResult {
    ExportOutcome outcome = ExportOutcome::Created;
    std::string folder;   // chosen folder + "\VTX Umgebung"
    std::string message;  // the German text for the user ("" when cancelled)
    long failedCount = 0;
    std::vector<std::string> firstFailures;  // at most kNamedFailures paths
    std::vector<std::string> notTaken;       // the trees that were not walked
};

// How far an export has come, for a progress display: updated as the export runs,
// read by the pump.
struct ExportProgress {
    std::string folder;  // the folder being walked ("" before the walks)
    long files = 0;      // files placed or tried so far
};

// Runs the export:
// 1. deletes an earlier export folder; when that fails, stops before writing;
// 2. creates the export folder (stops when it cannot);
// 3. writes VTX.log: every line + CR LF in the ANSI code page, a fresh file; and
//    System.txt: the system profile, UTF-8 with a byte order mark and CR LF;
//    and copies werFiles (a file that cannot be copied is counted);
// 4. copies the skin file to APP\Skins\<skin>\<W>x<H>, DataDir's Init.vtx and
//    Fehler.log to USR (stops when one of these folders cannot be created; a
//    missing source is passed over);
// 5. walks installDir, then dataDir, and places each file accepted by the export's
//    attribute mask at its destination unless something is there already: a copy
//    for "ini", else an empty file. The export folder itself is never walked.
// Copies carry no read-only, hidden or system attribute, so a later export can
// delete them. A file that cannot be copied or created is counted and the export
// goes on. Every path goes through the wide API in its extended form, so paths
// longer than 260 characters are exported too.
// What the export never does:
// - walk a drive or share root, the Windows folder, a Program Files folder,
//   ProgramData, the Users folder or a profile folder (ProtectedFolders): such a
//   tree is left out, named in `notTaken` and in the closing warning;
// - delete or write into a chosen place whose export folder is, or holds, one of
//   the jukebox's folders (Stopped before anything is written).
// With a virtualStoreDir, the export takes the install folder as the jukebox sees
// it: the VirtualStore's files first (the skin file too), the originals where the
// VirtualStore has none.
// When the pump stops the walk, the export folder is deleted again (Cancelled,
// `message` says whether that worked). `progress`, when given, follows the walk.
ExportResult ExportEnvironment(const ExportRequest& request, const MessagePump& pump,
                               ExportProgress* progress = nullptr);

// Opens `path` for writing, creating an empty file; an existing file is left as it
// is. False when the file cannot be created.
bool CreateEmptyFile(const std::string& path);

}  // namespace vtx
