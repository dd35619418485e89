// Resetting the jukebox's settings: deleting DataDir\Init.vtx after the user has
// agreed.
#pragma once
#include <string>

namespace vtx {

inline constexpr const char* kResetTitle = "Achtung!";
inline constexpr const char* kResetQuestionText =
    "Hiermit werden alle Einstellungen der Velatrix-Tunes zurückgesetzt! Fortsetzen?";
inline constexpr const char* kResetDoneTitle = "Info";
inline constexpr const char* kResetDoneText = "Alle Einstellungen wurden zurückgesetzt!";

enum class ResetResult {
    Deleted,     // the file is gone and the in-memory copy is forgotten
    NotPresent,  // there was no file: nothing to do
    Failed,      // the file could not be deleted (locked, no access): it stays as it was
};

// Deletes DataDir + "\Init.vtx" when it exists and marks the in-memory copy stale,
// so that later reads see the defaults.
ResetResult DeleteSettingsFile();

// The box when the deletion fails, naming the file.
std::string ResetFailedText(const std::string& path);

}  // namespace vtx
