#include "settings/settings_reset.h"

#include <cstdio>

namespace vtx {

std::string SettingsBackupName(const LocalDateTime& time, int attempt) {
    char stamp[40];
    std::snprintf(stamp, sizeof stamp, "%04d%02d%02d-%02d%02d%02d", time.year, time.month, time.day, time.hour,
                  time.minute, time.second);
    std::string name = std::string("Init.vtx.") + stamp;
    if (attempt > 1) name += "-" + std::to_string(attempt);
    return name + ".bak";
}

std::string ResetDoneMessage(std::string_view backupPath) {
    std::string text = kResetDoneText;
    if (!backupPath.empty()) text += "\nDie bisherigen Einstellungen wurden gesichert als " + std::string(backupPath);
    return text;
}

std::string BackupFailedText(std::string_view settingsPath, std::string_view backupFolder) {
    return "Die Einstellungen wurden nicht zurückgesetzt: Von der Datei " + std::string(settingsPath) +
           " konnte keine Sicherungskopie im Verzeichnis " + std::string(backupFolder) +
           " angelegt werden. Es wurde nichts gelöscht.\n\nBitte schließen Sie die Velatrix-Tunes und versuchen Sie "
           "es erneut.";
}

}  // namespace vtx
