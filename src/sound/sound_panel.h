// The sound-test panel's work with the MCI device, apart from its dialog and its
// controls: open the chosen file, play it from the start, stop it, and close a
// playing device when the window goes away.
#pragma once
#include <string>

namespace vtx {

// The chosen file becomes the one open medium: whatever was open before is closed
// first, also while it plays. No window is handed to a video medium.
void SoundPanelOpen(const std::string& fileName);
// Plays from the beginning, also when the medium plays or was stopped midway.
void SoundPanelPlay();
void SoundPanelStop();
// The window closes: a playing medium is closed; otherwise nothing is sent beyond
// the question for the mode.
void SoundPanelUnload();

// The text of lblSoundfile for a chosen file: its name with extension.
std::string SoundFileLabel(const std::string& fileName);

// The file dialog's filter in the dialog's own form: pairs of a display name and
// its patterns, each ended by NUL, the whole ended by one more NUL. First the
// media files of the MCI device table, second "Alle Dateien".
std::string SoundFileFilter();

}  // namespace vtx
