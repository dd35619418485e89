#include "sound/sound_panel.h"

#include "common/strings.h"
#include "sound/mci.h"

namespace vtx {

void SoundPanelOpen(const std::string& fileName) {
    MciClose();
    MciOpen(fileName, 0);
}

void SoundPanelPlay() { MciPlay(0); }

void SoundPanelStop() { MciStop(); }

void SoundPanelUnload() {
    if (MciStatusMode() == "playing") MciClose();
}

std::string SoundFileLabel(const std::string& fileName) { return GetFileName(fileName, true); }

std::string SoundFileFilter() {
    std::string patterns;
    for (const std::string& extension : MciMediaExtensions()) {
        if (!patterns.empty()) patterns += ';';
        patterns += "*." + extension;
    }
    std::string filter = "Mediendateien";
    filter += '\0';
    filter += patterns;
    filter += '\0';
    filter += "Alle Dateien";
    filter += '\0';
    filter += "*.*";
    filter += '\0';
    filter += '\0';
    return filter;
}

}  // namespace vtx
