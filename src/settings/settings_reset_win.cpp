#include "settings/settings_reset_win.h"

#include <windows.h>

#include "common/directories.h"
#include "common/files_win.h"
#include "common/unicode_win.h"
#include "settings/init_dbase_win.h"

namespace vtx {

ResetResult DeleteSettingsFile() {
    const std::string path = DataDir + "\\Init.vtx";
    if (!FileExists(path)) return ResetResult::NotPresent;
    if (!DeleteFileW(Widen(path).c_str())) return ResetResult::Failed;
    InvalidateDb();
    return ResetResult::Deleted;
}

std::string ResetFailedText(const std::string& path) {
    return "Die Einstellungen konnten nicht zurückgesetzt werden: Die Datei " + path +
           " konnte nicht gelöscht werden.\n\nBitte schließen Sie die Velatrix-Tunes und versuchen Sie es erneut.";
}

}  // namespace vtx
