// What the settings reset says, and the name of the copy it keeps of Init.vtx
// before the file goes. Portable.
#pragma once
#include <string>
#include <string_view>

namespace vtx {

inline constexpr const char* kResetTitle = "Achtung!";
inline constexpr const char* kResetQuestionText =
    "Hiermit werden alle Einstellungen der Velatrix-Tunes zurückgesetzt! Fortsetzen?";
inline constexpr const char* kResetDoneTitle = "Info";
inline constexpr const char* kResetDoneText = "Alle Einstellungen wurden zurückgesetzt!";

struct LocalDateTime {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
};

// "Init.vtx.<YYYYMMDD-HHMMSS>.bak" for `time`; a later `attempt` (2, 3, ...), for
// when that name is taken already, adds "-<attempt>" before ".bak" so that no
// earlier copy is ever overwritten.
std::string SettingsBackupName(const LocalDateTime& time, int attempt = 1);

// The closing box of a reset: "Alle Einstellungen wurden zurückgesetzt!" and, when
// a copy was kept, a second line naming it.
std::string ResetDoneMessage(std::string_view backupPath);

// The box when the copy cannot be made: nothing was deleted.
std::string BackupFailedText(std::string_view settingsPath, std::string_view backupFolder);

}  // namespace vtx
