// Resetting the jukebox's settings: deleting DataDir\Init.vtx after the user has
// agreed, keeping a copy of it first.
#pragma once
#include <string>

#include "settings/settings_reset.h"

namespace vtx {

enum class ResetResult {
    Deleted,       // the copy is kept, the file is gone and the in-memory copy forgotten
    NotPresent,    // there was no file: nothing to do
    BackupFailed,  // no copy could be made: nothing was deleted
    Failed,        // the file could not be deleted (locked, no access): it stays as
                   // it was, and the copy made for it is removed again
};

struct ResetOutcome {
    ResetResult result = ResetResult::NotPresent;
    std::string backup;  // the copy's full path when Deleted
};

// Keeps DataDir + "\Init.vtx" byte for byte as DataDir + "\" + SettingsBackupName
// (local time; never over an existing file), then deletes it and marks the
// in-memory copy stale, so that later reads see the defaults.
ResetOutcome DeleteSettingsFile();

// The box when the deletion fails, naming the file.
std::string ResetFailedText(const std::string& path);

}  // namespace vtx
